#include "ServiceResponse.h"

#include "TrimText.h"
#include "XmlJudge.h"
#include "XmlValues.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

const TExpectedAnswer kCurrentWeatherAnswer{QStringLiteral("current"), false};
const TExpectedAnswer kForecastAnswer{QStringLiteral("weatherdata"), true};
const TExpectedAnswer kLocationsAnswer{QStringLiteral("cities"), false};

namespace {

const QString kNoData = QStringLiteral("No data received");
const QString kInvalidKey = QStringLiteral("Invalid API key");
const QString kBadFormat = QStringLiteral("Bad format");
const QString kMessageKey = QStringLiteral("\"message\":");
const QString kMessageMember = QStringLiteral("message");
const QString kCodeMember = QStringLiteral("cod");
// The service's codes for a key it refuses and a place it does not know.
constexpr int kStatusUnauthorised = 401;
constexpr int kStatusNotFound = 404;
// The value starts one character after the key and its colon (a blank or the
// opening quote).
constexpr qsizetype kMessageValueOffset = 11;
constexpr qsizetype kMessageMaxLength = 1024;
constexpr int kFirstSuccessStatus = 200;
constexpr int kLastSuccessStatus = 299;
const QString kEllipsis = QStringLiteral("…");

// The body as text for the checks: up to its first zero byte, read as UTF-8.
QString BodyText(const QByteArray &body)
{
    const qsizetype zero = body.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? body : body.left(zero));
}

bool IsFailureStatus(int status)
{
    return status != 0 && (status < kFirstSuccessStatus || status > kLastSuccessStatus);
}

// The "message" member of a body that is valid JSON; false when the body is not.
bool JsonMessage(const QString &text, QString &message)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return false;
    const QJsonValue value = json.object().value(kMessageMember);
    if (value.isString())
        message = value.toString();
    else if (value.isDouble())
        message = QString::number(value.toDouble());
    else
        message = text; // no usable member: the body itself, as the scan would give
    return true;
}

// The service's own status in a JSON error body ("cod", a number or a text);
// 0 when it names none.
int JsonCode(const QString &text)
{
    const QJsonDocument json = QJsonDocument::fromJson(text.toUtf8());
    const QJsonValue code = json.object().value(kCodeMember);
    if (code.isDouble())
        return code.toInt();
    return code.toString().trimmed().toInt();
}

// A JSON error body: the key refused, the place unknown, or another error
// with the service's message.
TFetchFailure JsonFailure(const QString &text, int httpStatus, const QString &message)
{
    const int code = JsonCode(text);
    const int status = code != 0 ? code : httpStatus;
    if (status == kStatusUnauthorised)
        return MakeFailure(TFailureKind::InvalidKey, message, status);
    if (status == kStatusNotFound)
        return MakeFailure(TFailureKind::PlaceNotFound, message, status);
    return MakeFailure(TFailureKind::HttpStatus, message, status);
}

} // namespace

QString ExtractJsonMessage(const QString &text)
{
    QString message;
    if (JsonMessage(text, message))
        return message;
    const qsizetype at = text.indexOf(kMessageKey);
    if (at < 0)
        return text;
    message = MidWholeCharacters(text, at + kMessageValueOffset, kMessageMaxLength);
    message.remove(QLatin1Char('"'));
    // The object's closing brace, or whatever whole character stands in its place.
    const qsizetype last = message.size() - 1;
    message.chop(last > 0 && message.at(last).isLowSurrogate() && message.at(last - 1).isHighSurrogate() ? 2 : 1);
    return message;
}

QString MessageFromBody(const QString &text)
{
    const QString trimmed = TrimControl(text);
    qsizetype end = trimmed.size();
    for (qsizetype i = 0; i < end; ++i) {
        if (trimmed.at(i) == QLatin1Char('\n') || trimmed.at(i) == QLatin1Char('\r'))
            end = i;
    }
    if (end > kMaxBodyMessageLength) {
        end = kMaxBodyMessageLength;
        if (trimmed.at(end - 1).isHighSurrogate())
            --end; // never half a character
    }
    if (end == trimmed.size())
        return WithoutControlCharacters(trimmed);
    return WithoutControlCharacters(TrimControl(trimmed.left(end))) + kEllipsis;
}

bool LoadXmlDocument(const QByteArray &body, QDomDocument &document, QString &errorMessage, TXmlPosition *position)
{
    // The document object model is built from the very text that was judged,
    // so it cannot read the bytes in another encoding than the judge did.
    QString text;
    if (!DecodeXmlBody(body, text, errorMessage, position) || !JudgeXmlText(text, errorMessage, position))
        return false;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, &message, &line, &column)) {
        errorMessage = QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column);
        if (position != nullptr)
            *position = TXmlPosition{line, column};
        return false;
    }
    // Every text of the answer is kept and shown on one line.
    StripControlCharacters(document.documentElement());
    return true;
}

bool CheckServiceResponse(const QByteArray &body, int httpStatus, const TExpectedAnswer &expected,
                          TRequestRecord &request, QDomDocument &document)
{
    if (body.isEmpty()) {
        request.Failure = MakeFailure(TFailureKind::NoAnswer, kNoData, httpStatus);
        return false;
    }
    const QString text = BodyText(body);
    if (text.contains(kInvalidKey)) {
        request.Failure = MakeFailure(TFailureKind::InvalidKey, kInvalidKey, httpStatus);
        return false;
    }
    if (text.startsWith(QLatin1Char('{'))) {
        const QString trimmed = TrimControl(text);
        QString message = MessageFromBody(ExtractJsonMessage(trimmed));
        // An empty message must not hide the failure: the body itself is shown.
        if (message.isEmpty())
            message = MessageFromBody(trimmed);
        request.Failure = JsonFailure(trimmed, httpStatus, message);
        return false;
    }
    if (text.contains(QLatin1String("failed"))
        || (expected.CheckError && text.contains(QLatin1String("Error")))) {
        request.Failure = MakeFailure(TFailureKind::HttpStatus, MessageFromBody(text), httpStatus);
        return false;
    }
    if (IsFailureStatus(httpStatus)) {
        request.Failure = MakeFailure(TFailureKind::HttpStatus,
                                      QStringLiteral("The service answered HTTP %1").arg(httpStatus), httpStatus);
        return false;
    }
    QString parserMessage;
    TXmlPosition position;
    if (!LoadXmlDocument(body, document, parserMessage, &position)) {
        request.Failure = MakeFailure(TFailureKind::BadDocument, parserMessage, httpStatus);
        request.Failure.Line = static_cast<int>(position.Line);
        request.Failure.Column = static_cast<int>(position.Column);
        return false;
    }
    // An HTML page or another service's document is no answer to this request.
    const QDomElement root = document.documentElement();
    if (root.isNull() || root.tagName() != expected.RootName) {
        document.clear();
        request.Failure = MakeFailure(TFailureKind::BadDocument, kBadFormat, httpStatus);
        return false;
    }
    return true;
}
