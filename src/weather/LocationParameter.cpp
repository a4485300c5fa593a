#include "LocationParameter.h"

#include "TrimText.h"

namespace {

bool StaysAsIs(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '!': case '$': case '\'': case '(': case ')': case '*': case '-': case '.': case '@':
    case '_':
        return true;
    default:
        return false;
    }
}

} // namespace

QString EncodeFormValue(const QString &text)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString encoded;
    const QByteArray utf8 = text.toUtf8();
    encoded.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (StaysAsIs(c)) {
            encoded += QLatin1Char(c);
        } else if (c == ' ') {
            encoded += QLatin1Char('+');
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += QLatin1Char('%');
            encoded += QLatin1Char(kHex[byte >> 4]);
            encoded += QLatin1Char(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

QString KeyQueryValue(const QString &key)
{
    return EncodeFormValue(TrimControl(key));
}

QString BuildNameParameter(const QString &locationName)
{
    return QStringLiteral("q=") + EncodeFormValue(TrimControl(locationName));
}

QString BuildLocationParameter(const TRequestRecord &request)
{
    if (request.LocationID >= 0)
        return QStringLiteral("id=") + QString::number(request.LocationID);
    return BuildNameParameter(request.LocationName);
}
