// The language files that ship, read from the source tree: the tests that check
// every language find a new file without being told of it.
#pragma once

#include <QDir>
#include <QLocale>
#include <QString>
#include <QStringList>

inline QString ShippedLanguageFile(const QString &code)
{
    return QStringLiteral(NIMBREL_SOURCE_DIR "/data/langs/Nimbrel.%1.lng").arg(code);
}

// The codes of every shipped file, sorted.
inline QStringList ShippedLanguageCodes()
{
    const QDir folder(QStringLiteral(NIMBREL_SOURCE_DIR "/data/langs"));
    QStringList codes;
    for (const QString &name : folder.entryList({QStringLiteral("Nimbrel.*.lng")}, QDir::Files, QDir::Name))
        codes << name.section(QLatin1Char('.'), 1, 1);
    return codes;
}

// The locale a user of the language most likely has: its numbers and day
// names go with the language's texts ("pt" is Brazil's, "zh" mainland China's).
inline QLocale LocaleOfLanguage(const QString &code)
{
    return QLocale(code);
}
