#include "LanguageChoice.h"

#include "LangMan.h"
#include "UserLanguageCode.h"

#include <QRegularExpression>
#include <QStringList>

QString ChosenLanguageCode(const QString &stored)
{
    static const QRegularExpression plainCode(QStringLiteral("^[a-z]{2,3}([_-][a-z0-9]{2,8})?$"));
    const QString code = stored.trimmed().toLower();
    return plainCode.match(code).hasMatch() ? code : QString();
}

QString LanguageToLoad(const TLanguageManager &manager, const QString &chosen)
{
    for (const QString &code : {ChosenLanguageCode(chosen), GetUserLanguageCode()}) {
        if (code.isEmpty())
            continue;
        QStringList base;
        QStringList user;
        manager.GetLanguageFiles(code, base, user);
        if (!base.isEmpty() || !user.isEmpty())
            return code;
    }
    return QString::fromLatin1(kFallbackLanguageCode);
}

QLocale LanguageLocale(const QString &code, const QLocale &system)
{
    const QLocale language(code.isEmpty() ? QString::fromLatin1(kFallbackLanguageCode) : code);
    if (language.language() == QLocale::C || language.language() == system.language())
        return system;
    return language;
}
