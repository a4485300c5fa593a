// Helpers for tests that put INI files on disk.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QString DataFile(const char *name)
{
    return QStringLiteral(NIMBREL_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}
