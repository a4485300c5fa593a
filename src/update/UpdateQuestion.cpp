#include "UpdateQuestion.h"

#include "LangController.h"

#include <QDesktopServices>

namespace {

bool IsWebUrl(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

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
