// Reading an answer's bytes as XML text and judging that text with the streaming
// reader before any document object model is built from it. The service's
// documents are small and plain, so anything that could make a parser grow
// without bound or stall is refused with a parser-style message.
#pragma once

#include <QByteArray>
#include <QString>

// The service's documents nest five levels and hold a few thousand nodes, and
// none of their elements carries more than about eight attributes.
constexpr int kMaxXmlDepth = 64;
constexpr int kMaxXmlNodes = 20000; // elements, attributes, texts, comments
// The streaming reader checks an element's attributes against each other, so
// their number is bounded before it reads them.
constexpr int kMaxXmlAttributes = 64;

// Where in a document its reading failed (both from 1).
struct TXmlPosition {
    qint64 Line = 0;
    qint64 Column = 0;
};

// The body as text, decoded the way an XML parser picks the encoding: a
// byte-order mark, else the UTF-16 or UTF-32 shape of the first "<", else the
// encoding its declaration names, else UTF-8. False with a message carrying
// line and column when the encoding is unknown or the bytes are not valid in it.
// `position`, when given, receives the line and column of the message.
bool DecodeXmlBody(const QByteArray &body, QString &text, QString &errorMessage,
                   TXmlPosition *position = nullptr);

// Reads the whole text once with the streaming reader. False with a message
// carrying line and column for a document type declaration, nesting deeper
// than kMaxXmlDepth, an element with more than kMaxXmlAttributes attributes,
// more than kMaxXmlNodes nodes, or any error of the reader.
bool JudgeXmlText(const QString &text, QString &errorMessage, TXmlPosition *position = nullptr);
