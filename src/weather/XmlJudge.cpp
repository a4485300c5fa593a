#include "XmlJudge.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <optional>

namespace {

// How much of the body's start is searched for the XML declaration.
constexpr qsizetype kDeclarationWindow = 256;
constexpr char16_t kReplacementCharacter = 0xFFFD;

QString WithPosition(const QString &message, qint64 line, qint64 column, TXmlPosition *position)
{
    if (position != nullptr)
        *position = TXmlPosition{line, column};
    return QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column);
}

// Line and column (both from 1) of a character of `text`.
QString AtOffset(const QString &message, const QString &text, qsizetype offset, TXmlPosition *position)
{
    const QStringView before = QStringView(text).left(offset);
    const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
    return WithPosition(message, 1 + before.count(QLatin1Char('\n')), 1 + offset - lineStart, position);
}

// The encoding named by an XML declaration at the start of an 8-bit body, or
// an empty text when there is none.
QString DeclaredEncoding(const QByteArray &body, qsizetype &nameOffset)
{
    static const QRegularExpression declaration(QStringLiteral(
        "^<\\?xml\\s[^>]*?\\bencoding\\s*=\\s*([\"'])([A-Za-z][A-Za-z0-9._-]*)\\1"));
    const QString start = QString::fromLatin1(body.left(kDeclarationWindow));
    const QRegularExpressionMatch m = declaration.match(start);
    if (!m.hasMatch())
        return QString();
    nameOffset = m.capturedStart(2);
    return m.captured(2);
}

// Whether some start tag may carry more than kMaxXmlAttributes attributes;
// `at` is then its "<". Every attribute has its own "=" and a tag cannot
// contain "<", so the "=" from a tag's "<" to the next "<" bound its
// attributes, in one pass over the text.
bool TooManyAttributes(const QString &text, qsizetype &at)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != QLatin1Char('<') || i + 1 >= size)
            continue;
        const QChar next = text.at(i + 1);
        if (next == QLatin1Char('/') || next == QLatin1Char('!') || next == QLatin1Char('?'))
            continue;
        int equals = 0;
        qsizetype j = i + 1;
        for (; j < size && text.at(j) != QLatin1Char('<'); ++j) {
            if (text.at(j) == QLatin1Char('=') && ++equals > kMaxXmlAttributes) {
                at = i;
                return true;
            }
        }
        i = j - 1;
    }
    return false;
}

} // namespace

bool DecodeXmlBody(const QByteArray &body, QString &text, QString &errorMessage, TXmlPosition *position)
{
    QStringDecoder decoder;
    const std::optional<QStringConverter::Encoding> shape =
        QStringConverter::encodingForData(body, u'<');
    if (shape) {
        decoder = QStringDecoder(*shape);
    } else {
        qsizetype nameOffset = 0;
        const QString declared = DeclaredEncoding(body, nameOffset);
        decoder = declared.isEmpty() ? QStringDecoder(QStringDecoder::Utf8)
                                     : QStringDecoder(declared.toLatin1().constData());
        if (!decoder.isValid()) {
            errorMessage = WithPosition(QStringLiteral("Encoding '%1' is not supported").arg(declared),
                                        1, 1 + nameOffset, position);
            return false;
        }
    }
    text = decoder.decode(body);
    if (decoder.hasError()) {
        const qsizetype at = text.indexOf(QChar(kReplacementCharacter));
        errorMessage = AtOffset(QStringLiteral("Encountered incorrectly encoded content"), text,
                                at < 0 ? text.size() : at, position);
        text.clear();
        return false;
    }
    return true;
}

bool JudgeXmlText(const QString &text, QString &errorMessage, TXmlPosition *position)
{
    const QString doctypeRefused = QStringLiteral("DOCTYPE declarations are not accepted");
    // The quick way out for the common attack: a reader would first take in
    // the whole internal subset.
    const qsizetype doctype = text.indexOf(QLatin1String("<!DOCTYPE"));
    if (doctype >= 0) {
        errorMessage = AtOffset(doctypeRefused, text, doctype, position);
        return false;
    }
    qsizetype crowded = 0;
    if (TooManyAttributes(text, crowded)) {
        errorMessage = AtOffset(
            QStringLiteral("An element has more than %1 attributes").arg(kMaxXmlAttributes), text,
            crowded, position);
        return false;
    }

    // Same reading as the document object model's: no namespace processing.
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    qint64 nodes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            errorMessage = WithPosition(doctypeRefused, reader.lineNumber(), reader.columnNumber(), position);
            return false;
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxXmlDepth) {
                errorMessage = WithPosition(
                    QStringLiteral("Elements nest deeper than %1 levels").arg(kMaxXmlDepth),
                    reader.lineNumber(), reader.columnNumber(), position);
                return false;
            }
            nodes += 1 + reader.attributes().size();
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            ++nodes;
            break;
        default:
            break;
        }
        if (nodes > kMaxXmlNodes) {
            errorMessage = WithPosition(
                QStringLiteral("The document has more than %1 nodes").arg(kMaxXmlNodes),
                reader.lineNumber(), reader.columnNumber(), position);
            return false;
        }
    }
    if (reader.hasError()) {
        errorMessage = WithPosition(reader.errorString(), reader.lineNumber(), reader.columnNumber(), position);
        return false;
    }
    return true;
}
