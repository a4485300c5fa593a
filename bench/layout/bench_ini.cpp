// The settings file of 200 keys (ten sections of twenty) read whole and every
// value looked up, and written whole after one change. The peer is Qt's own
// INI settings on the same file in the same run; its file cache is defeated
// by a new modification time at every load.
#include "LayoutManagerINIStorage.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr int kSections = 10;
constexpr int kKeysPerSection = 20;

QString SectionName(int section)
{
    return QStringLiteral("Section%1").arg(section);
}

QString KeyName(int key)
{
    return QStringLiteral("Key%1").arg(key);
}

// A file of ten sections of twenty keys, with values of the kinds the program
// stores (numbers, words, a long enciphered text).
QString WriteFile(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("nimbrel.ini"));
    QByteArray text;
    for (int section = 0; section < kSections; ++section) {
        text += "[" + SectionName(section).toUtf8() + "]\n";
        for (int key = 0; key < kKeysPerSection; ++key) {
            const QByteArray value = key % 3 == 0   ? QByteArray::number(section * 100 + key)
                                     : key % 3 == 1 ? QByteArray("Prague, CZ")
                                                    : QByteArray("4F4BDFF4289B17BE4F4BDFF4289B17BE");
            text += KeyName(key).toUtf8() + "=" + value + "\n";
        }
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

void BM_IniLoad200Keys(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = WriteFile(folder);
    for (auto _ : state) {
        TLayoutManagerINIStorage storage(path);
        storage.Open(true);
        for (int section = 0; section < kSections; ++section)
            for (int key = 0; key < kKeysPerSection; ++key)
                benchmark::DoNotOptimize(storage.ReadString(SectionName(section), KeyName(key), QString()));
        storage.Close();
    }
}
BENCHMARK(BM_IniLoad200Keys)->Unit(benchmark::kMicrosecond);

void BM_Peer_IniLoad200Keys(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = WriteFile(folder);
    QDateTime stamp = QDateTime::currentDateTime().addDays(-1);
    for (auto _ : state) {
        state.PauseTiming();
        stamp = stamp.addSecs(1);
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(stamp, QFileDevice::FileModificationTime);
        file.close();
        state.ResumeTiming();
        QSettings settings(path, QSettings::IniFormat);
        for (int section = 0; section < kSections; ++section)
            for (int key = 0; key < kKeysPerSection; ++key)
                benchmark::DoNotOptimize(
                    settings.value(SectionName(section) + QLatin1Char('/') + KeyName(key)).toString());
    }
}
BENCHMARK(BM_Peer_IniLoad200Keys)->Unit(benchmark::kMicrosecond);

void BM_IniSave200Keys(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = WriteFile(folder);
    TLayoutManagerINIStorage storage(path);
    int round = 0;
    for (auto _ : state) {
        storage.Open(false);
        storage.WriteString(SectionName(0), KeyName(0), QString::number(++round));
        if (!storage.Close())
            state.SkipWithError("the file was not written");
    }
}
BENCHMARK(BM_IniSave200Keys)->Unit(benchmark::kMicrosecond);

void BM_Peer_IniSave200Keys(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = WriteFile(folder);
    QSettings settings(path, QSettings::IniFormat);
    int round = 0;
    for (auto _ : state) {
        settings.setValue(SectionName(0) + QLatin1Char('/') + KeyName(0), QString::number(++round));
        settings.sync();
        if (settings.status() != QSettings::NoError)
            state.SkipWithError("the file was not written");
    }
}
BENCHMARK(BM_Peer_IniSave200Keys)->Unit(benchmark::kMicrosecond);

} // namespace
