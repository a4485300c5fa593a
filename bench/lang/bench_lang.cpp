// Loading a language file of 2,000 keys, and 10,000 text look-ups.
#include "LangMan.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kConstantKeys = 1500;
constexpr int kFormKeys = 500;
constexpr int kLookups = 10000;

// A file of kConstantKeys constants and kFormKeys form texts, written once.
class TBigLanguage
{
public:
    TBigLanguage()
    {
        QByteArray text = "\xEF\xBB\xBF[Language File]\nLanguageName=Benchmark\n[Constants]\n";
        for (int i = 0; i < kConstantKeys; ++i)
            text += "lc_Key" + QByteArray::number(i) + "=Übersetzter Text Nummer " + QByteArray::number(i) + "\\n\n";
        text += "[Twnd_nb_Main]\n";
        for (int i = 0; i < kFormKeys; ++i)
            text += "control" + QByteArray::number(i) + ".Caption=Beschriftung " + QByteArray::number(i) + "\n";
        QFile file(FDir.path() + QStringLiteral("/Nimbrel.xx.lng"));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }

    void Aim(TLanguageManager &manager) const
    {
        manager.SetFolder(FDir.path());
        manager.SetFileNames({QStringLiteral("Nimbrel")});
    }

private:
    QTemporaryDir FDir;
};

const TBigLanguage &BigLanguage()
{
    static const TBigLanguage language;
    return language;
}

void BM_LoadLanguageFile2000Keys(benchmark::State &state)
{
    TLanguageManager manager;
    BigLanguage().Aim(manager);
    for (auto _ : state) {
        manager.SetLanguageCode(QStringLiteral("xx"));
        benchmark::DoNotOptimize(manager.Constants().Count());
    }
    if (manager.Constants().Count() != kConstantKeys || manager.Properties().Count() != kFormKeys)
        state.SkipWithError("the file did not load whole");
}
BENCHMARK(BM_LoadLanguageFile2000Keys)->Unit(benchmark::kMillisecond);

void BM_LangText10000Lookups(benchmark::State &state)
{
    TLanguageManager manager;
    BigLanguage().Aim(manager);
    manager.SetLanguageCode(QStringLiteral("xx"));
    // Mostly hits, every fourth a miss that falls back to its default, like a
    // program asking for texts a language does not translate.
    QStringList ids;
    for (int i = 0; i < kLookups; ++i)
        ids.append(i % 4 == 3 ? QStringLiteral("lc_Missing%1").arg(i) : QStringLiteral("lc_key%1").arg(i % kConstantKeys));
    const QString fallback = QStringLiteral("Default text");
    for (auto _ : state) {
        for (const QString &id : ids)
            benchmark::DoNotOptimize(manager.LangText(id, fallback));
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_LangText10000Lookups)->Unit(benchmark::kMillisecond);

} // namespace
