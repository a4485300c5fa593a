#include "ServiceResponse.h"

#include "TrimText.h"

namespace {

const QString kNoData = QStringLiteral("No data received");
const QString kInvalidKey = QStringLiteral("Invalid API key");
const QString kBadFormat = QStringLiteral("Bad format");
const QString kMessageKey = QStringLiteral("\"message\":");
// The value starts one character after the key and its colon (a blank or the
// opening quote).
constexpr qsizetype kMessageValueOffset = 11;
constexpr qsizetype kMessageMaxLength = 1024;

// The body as text for the checks: up to its first zero byte, read as UTF-8.
QString BodyText(const QByteArray &body)
{
    const qsizetype zero = body.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? body : body.left(zero));
}

// Internal entities referenced many times grow a few hundred kilobytes into
// gigabytes, and the service never sends a DOCTYPE, so such a document is refused
// before it reaches the parser. UTF-16 documents are looked at too.
bool DeclaresDoctype(const QByteArray &body, int &line, int &column)
{
    static const QByteArray kAscii("<!DOCTYPE");
    static const QByteArray kUtf16Le = QByteArray::fromRawData("<\0!\0D\0O\0C\0T\0Y\0P\0E\0", 18);
    static const QByteArray kUtf16Be = QByteArray::fromRawData("\0<\0!\0D\0O\0C\0T\0Y\0P\0E", 18);
    qsizetype at = body.indexOf(kAscii);
    int width = 1;
    if (at < 0 && (at = body.indexOf(kUtf16Le)) >= 0)
        width = 2;
    if (at < 0 && (at = body.indexOf(kUtf16Be)) >= 0)
        width = 2;
    if (at < 0)
        return false;
    const QByteArray before = body.left(at);
    line = 1 + static_cast<int>(before.count('\n'));
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    column = 1 + static_cast<int>((at - lineStart) / width);
    return true;
}

} // namespace

QString ExtractJsonMessage(const QString &text)
{
    const qsizetype at = text.indexOf(kMessageKey);
    if (at < 0)
        return text;
    QString message = text.mid(at + kMessageValueOffset, kMessageMaxLength);
    message.remove(QLatin1Char('"'));
    message.chop(1); // the object's closing brace
    return message;
}

bool LoadXmlDocument(const QByteArray &body, QDomDocument &document, QString &errorMessage)
{
    int line = 0;
    int column = 0;
    if (DeclaresDoctype(body, line, column)) {
        errorMessage = QStringLiteral("DOCTYPE declarations are not accepted (line %1, column %2)")
                           .arg(line)
                           .arg(column);
        return false;
    }
    QString message;
    if (!document.setContent(body, &message, &line, &column)) {
        errorMessage = QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column);
        return false;
    }
    return true;
}

bool CheckServiceResponse(const QByteArray &body, TRequestRecord &request, bool checkError,
                          QDomDocument &document)
{
    if (body.isEmpty()) {
        request.ErrorMessage = kNoData;
        return false;
    }
    const QString text = BodyText(body);
    if (text.contains(kInvalidKey)) {
        request.ErrorMessage = kInvalidKey;
        return false;
    }
    if (text.startsWith(QLatin1Char('{'))) {
        request.ErrorMessage = ExtractJsonMessage(TrimControl(text));
        return false;
    }
    if (text.contains(QLatin1String("failed"))
        || (checkError && text.contains(QLatin1String("Error")))) {
        request.ErrorMessage = TrimControl(text);
        return false;
    }
    QString parserMessage;
    if (!LoadXmlDocument(body, document, parserMessage)) {
        request.ErrorMessage = parserMessage;
        return false;
    }
    if (document.documentElement().isNull()) {
        request.ErrorMessage = kBadFormat;
        return false;
    }
    return true;
}
