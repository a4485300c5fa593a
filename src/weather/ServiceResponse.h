// Judging a response body before it is parsed, and loading it as XML.
#pragma once

#include "WeatherRecords.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// The text of a JSON error body's "message" member, or `text` when it has none.
QString ExtractJsonMessage(const QString &text);

// Runs the checks in order (empty body, invalid key, JSON error body, "failed",
// optionally "Error", XML load, root element). On failure sets
// request.ErrorMessage and returns false; on success `document` holds the body.
bool CheckServiceResponse(const QByteArray &body, TRequestRecord &request, bool checkError,
                          QDomDocument &document);

// Loads `body` as XML; on failure `errorMessage` is the parser's message with
// line and column. Documents that declare a DOCTYPE are refused unparsed.
bool LoadXmlDocument(const QByteArray &body, QDomDocument &document, QString &errorMessage);
