#include "UpdateQuestion.h"

#include "LangController.h"

#include <QDesktopServices>

namespace {

bool IsWebUrl(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

const QLatin1String kVersionPlace("%s");

QString ShownVersion(const QString &version)
{
    QString shown;
    for (const QChar c : version) {
        if (c.isPrint() && c != QLatin1Char('<') && c != QLatin1Char('>') && c != QLatin1Char('&'))
            shown += c;
    }
    return shown;
}

} // namespace

QString UpdateQuestionText(const QString &newVersion, const TUpdateQuestionTexts &texts)
{
    QString available = texts.Available;
    available.replace(kVersionPlace, ShownVersion(newVersion));
    return available + QLatin1Char('\n') + texts.DownloadQuery;
}

bool AskToOpenUpdate(const QString &title, const QString &question, const QUrl &address,
                     const TUrlOpener &opener)
{
    if (!ConfirmDialog(question, title))
        return false;
    if (IsWebUrl(address)) {
        if (opener)
            opener(address);
        else
            QDesktopServices::openUrl(address);
    }
    return true;
}
