#include "IniValueText.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFloatSignificantDigits = 15;
constexpr int kMaxHexDigits = 16;
constexpr int kHexBase = 16;
const QString kDatetimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

bool IsHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::optional<qint64> ParseHex(QStringView digits)
{
    // toULongLong alone would also take blanks, a sign or a second "0x".
    if (digits.isEmpty() || digits.size() > kMaxHexDigits || !std::all_of(digits.begin(), digits.end(), IsHexDigit))
        return std::nullopt;
    bool ok = false;
    const quint64 value = digits.toULongLong(&ok, kHexBase);
    if (!ok)
        return std::nullopt;
    return static_cast<qint64>(value);
}

} // namespace

QString IniIntegerText(qint64 value)
{
    return QString::number(value);
}

std::optional<qint64> ParseIniInteger(const QString &text)
{
    const QString t = text.trimmed();
    const QStringView view(t);
    if (view.size() > 2 && (view.startsWith(u"0x") || view.startsWith(u"0X")))
        return ParseHex(view.mid(2));
    if (view.startsWith(u'$'))
        return ParseHex(view.mid(1));
    // toLongLong alone would accept a "0x" prefix through base detection.
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QChar c = view[i];
        const bool sign = i == 0 && (c == u'-' || c == u'+');
        if (!sign && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = view.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QString IniBooleanText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<bool> ParseIniBoolean(const QString &text)
{
    const std::optional<qint64> number = ParseIniInteger(text);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

QString IniFloatText(double value)
{
    return QLocale::c().toString(value, 'g', kFloatSignificantDigits);
}

std::optional<double> ParseIniFloat(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString IniDatetimeText(const QDateTime &value)
{
    return QLocale::c().toString(value.toLocalTime(), kDatetimeFormat);
}

std::optional<QDateTime> ParseIniDatetime(const QString &text)
{
    const QString t = text.trimmed();
    QDateTime value = QDateTime::fromString(t, kDatetimeFormat);
    if (!value.isValid()) {
        const QDate date = QDate::fromString(t, kDateFormat);
        if (date.isValid())
            value = date.startOfDay();
    }
    if (!value.isValid())
        return std::nullopt;
    return value;
}
