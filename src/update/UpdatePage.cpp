#include "UpdatePage.h"

#include "TrimText.h"

#include <QRegularExpression>

#include <array>

namespace {

const QLatin1String kTagMark("META NAME");
const QLatin1String kValueMark("CONTENT=");
// "META NAME" followed by '=' and '"'; "CONTENT=" followed by '"'.
constexpr qsizetype kNameOffset = 11;
constexpr qsizetype kValueOffset = 9;
const QChar kQuote = QLatin1Char('"');
const QLatin1String kHttp("http://");
const QLatin1String kHttps("https://");

// The text from `start` to the next double quote; false when there is none.
bool QuotedFrom(const QString &line, qsizetype start, QString &text)
{
    if (start > line.size())
        return false;
    const qsizetype end = line.indexOf(kQuote, start);
    if (end < 0)
        return false;
    text = line.mid(start, end - start);
    return true;
}

QString *FieldOf(const QString &name, const TTagInfo &tags, TUpdateInfo &info)
{
    const std::array<std::pair<const QString *, QString *>, 11> fields = {{
        {&tags.Version, &info.ProductVersion},
        {&tags.Download, &info.UpdateURL},
        {&tags.ClientFileName, &info.ClientFileName},
        {&tags.ProductName, &info.ProductName},
        {&tags.Redirection, &info.RedirectionURL},
        {&tags.Author, &info.Author},
        {&tags.Email, &info.EMail},
        {&tags.RunParameters, &info.RunParameters},
        {&tags.MD5, &info.MD5},
        {&tags.SHA256, &info.SHA256},
        {&tags.Page, &info.Page},
    }};
    for (const auto &[tag, field] : fields) {
        if (!tag->isEmpty() && tag->compare(name, Qt::CaseInsensitive) == 0)
            return field;
    }
    return nullptr;
}

} // namespace

QStringList PageLines(const QByteArray &body)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return QString::fromUtf8(body).split(lineEnd);
}

void ParseUpdatePage(const QStringList &lines, const TTagInfo &tags, TUpdateInfo &info)
{
    for (const QString &line : lines) {
        const qsizetype tag = line.indexOf(kTagMark, 0, Qt::CaseSensitive);
        if (tag < 0)
            continue;
        QString name;
        if (!QuotedFrom(line, tag + kNameOffset, name))
            continue;
        const qsizetype content = line.indexOf(kValueMark, 0, Qt::CaseInsensitive);
        QString value;
        if (content < 0 || !QuotedFrom(line, content + kValueOffset, value))
            continue;
        if (QString *field = FieldOf(name, tags, info))
            // Shown to the user and passed on: one line, never half a character.
            *field = MidWholeCharacters(WithoutControlCharacters(value), 0, kMaxTagValueLength);
    }
}

TUrlParts SplitUrl(const QString &url)
{
    TUrlParts parts;
    QString rest = url;
    if (rest.startsWith(kHttps, Qt::CaseInsensitive)) {
        parts.Secure = true;
        rest = rest.mid(kHttps.size());
    } else if (rest.startsWith(kHttp, Qt::CaseInsensitive)) {
        rest = rest.mid(kHttp.size());
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    parts.Host = slash < 0 ? rest : rest.left(slash);
    parts.Path = slash < 0 ? QString() : rest.mid(slash);
    return parts;
}

bool IsWebAddress(const QString &url)
{
    return url.startsWith(kHttp, Qt::CaseInsensitive) || url.startsWith(kHttps, Qt::CaseInsensitive);
}

QString PageFolder(const QString &pageUrl)
{
    const TUrlParts parts = SplitUrl(pageUrl);
    const QString scheme = parts.Secure ? QString(kHttps) : QString(kHttp);
    const qsizetype lastSlash = parts.Path.lastIndexOf(QLatin1Char('/'));
    const QString folder = lastSlash < 0 ? QStringLiteral("/") : parts.Path.left(lastSlash + 1);
    return scheme + parts.Host + folder;
}

QString DownloadAddress(const QString &download, const QString &pageUrl)
{
    return IsWebAddress(download) ? download : PageFolder(pageUrl) + download;
}
