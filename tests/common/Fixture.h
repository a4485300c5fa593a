// Reads a fixture file of the test's own data folder (tests/<unit>/data).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <stdexcept>

inline QString FixturePath(const QString &name)
{
    return QStringLiteral(NIMBREL_TEST_DATA_DIR "/") + name;
}

inline QByteArray ReadFixture(const QString &name)
{
    QFile file(FixturePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing fixture " + name.toStdString());
    return file.readAll();
}
