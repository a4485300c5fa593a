// Judging a response body before it is parsed, and loading it as XML.
#pragma once

#include "WeatherRecords.h"
#include "XmlJudge.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// What one kind of request expects of the service's answer.
struct TExpectedAnswer {
    QString RootName;        // the root element of the request's document
    bool CheckError = false; // the forecast's extra check for a body naming an "Error"
};

extern const TExpectedAnswer kCurrentWeatherAnswer;
extern const TExpectedAnswer kForecastAnswer;
extern const TExpectedAnswer kLocationsAnswer;

// The text of a JSON error body's "message" member (read as JSON when the body
// is valid JSON, scanned for otherwise), or `text` when it has none.
QString ExtractJsonMessage(const QString &text);

// A text taken from a body, fit to be shown as a message: trimmed, its first
// line only and at most kMaxBodyMessageLength characters, ending in "…" when cut.
constexpr qsizetype kMaxBodyMessageLength = 200;
QString MessageFromBody(const QString &text);

// Runs the checks in order (empty body, invalid key, JSON error body, "failed",
// optionally "Error", an HTTP status that is not 2xx, XML load, root element).
// `httpStatus` 0 means no status is known. On failure sets request.Failure.Message
// and returns false; on success `document` holds the body.
bool CheckServiceResponse(const QByteArray &body, int httpStatus, const TExpectedAnswer &expected,
                          TRequestRecord &request, QDomDocument &document);

// Loads `body` as XML once the streaming reader has judged it; on failure
// `errorMessage` is a parser-style message with line and column, which
// `position`, when given, receives as numbers.
bool LoadXmlDocument(const QByteArray &body, QDomDocument &document, QString &errorMessage,
                     TXmlPosition *position = nullptr);
