#include "UpdateAddress.h"

#include "LayoutManagerStorage.h"

#include <QUrl>

#ifndef NIMBREL_UPDATE_URL
#define NIMBREL_UPDATE_URL ""
#endif

QString BuiltUpdatePageUrl()
{
    return QStringLiteral(NIMBREL_UPDATE_URL);
}

TUpdateAddress ChooseUpdateAddress(const QString &stored, const QString &built)
{
    TUpdateAddress address{built, QString()};
    const QString text = stored.trimmed();
    if (text.isEmpty())
        return address;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty()) {
        address.Url = text;
        return address;
    }
    address.Problem = QStringLiteral("[%1] %2=%3 is not an http or https address")
                          .arg(QLatin1String(kUpdateSection), QLatin1String(kUpdateUrlKey), text);
    return address;
}

TUpdateAddress ReadUpdateAddress(ILayoutManagerStorage &storage)
{
    return ChooseUpdateAddress(
        storage.ReadString(QLatin1String(kUpdateSection), QLatin1String(kUpdateUrlKey), QString()),
        BuiltUpdatePageUrl());
}
