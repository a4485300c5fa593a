#pragma once

#include "LangMan.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A throw-away folder tree for language files, and a manager looking only there.
class TLangFolder
{
public:
    TLangFolder() { QDir(FDir.path()).mkpath(QStringLiteral("bin")); }

    QString Path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? FDir.path() : FDir.path() + u'/' + relative;
    }

    // Writes the file (folders created as needed) and returns its path.
    QString Write(const QString &relative, const QByteArray &bytes) const
    {
        const QString path = Path(relative);
        QDir().mkpath(path.section(u'/', 0, -2));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    // The "program" runs from <tmp>/bin and its languages folder is <tmp>/bin/Langs.
    void Aim(TLanguageManager &manager) const
    {
        manager.SetProgramFolder(Path(QStringLiteral("bin")));
        manager.SetFolder(Path(QStringLiteral("bin/Langs")));
    }

private:
    QTemporaryDir FDir;
};

inline QByteArray LangFile(const char *languageName, const char *body)
{
    return QByteArray("[Language File]\nLanguageName=") + languageName + "\n\n" + body;
}
