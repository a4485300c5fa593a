#include "UpdateTypes.h"

void TProductInfo::SetURL(const QString &url)
{
    FURL = url;
    if (!url.isEmpty() && !url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        && !url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        FURL.prepend(QLatin1String("http://"));
}

TTagInfo AppletTagInfo()
{
    TTagInfo tags;
    tags.Author = QStringLiteral("NBAuthor");
    tags.Email = QStringLiteral("NBEmail");
    tags.ClientFileName = QStringLiteral("NBFile");
    tags.Download = QStringLiteral("NBDownload");
    tags.Page = QStringLiteral("NBPage");
    tags.ProductName = QStringLiteral("NBName");
    tags.Redirection = QStringLiteral("NBRedirection");
    tags.RunParameters = QStringLiteral("NBRunParameters");
    tags.Version = QStringLiteral("NBVersion");
    tags.MD5 = QStringLiteral("NBMD5");
    tags.SHA256 = QStringLiteral("SHA256");
    return tags;
}
