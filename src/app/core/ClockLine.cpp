#include "ClockLine.h"

#include "DayNames.h"
#include "LangConsts.h"

namespace {

const QString kWeekdayField = QStringLiteral("dddd");
const QString kWeekdayPrefix = QStringLiteral("dddd, ");
const QString kNamesSeparator = QStringLiteral(" - ");
const QString kSlovakShortDate = QStringLiteral("d.M.yyyy");
constexpr QChar kQuote = QLatin1Char('\'');

// Calls `apply` on every part of a format outside its quoted literals.
template <typename F>
QString MapUnquoted(const QString &format, F apply)
{
    QString result;
    QString plain;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == kQuote) {
            if (!quoted) {
                result += apply(plain);
                plain.clear();
            }
            quoted = !quoted;
            result += c;
        } else if (quoted) {
            result += c;
        } else {
            plain += c;
        }
    }
    result += apply(plain);
    return result;
}

bool ContainsUnquoted(const QString &format, QChar wanted)
{
    bool found = false;
    MapUnquoted(format, [&](const QString &part) {
        found = found || part.contains(wanted);
        return part;
    });
    return found;
}

// The long time format without its time-zone field: the clock shows the wall
// time, and zone names are long and change twice a year.
QString TimeFormatWithoutZone(const QLocale &locale)
{
    const QString format = MapUnquoted(locale.timeFormat(QLocale::LongFormat), [](const QString &part) {
        QString text = part;
        text.remove(QLatin1Char('t'));
        // A zone field some locales put in brackets leaves them empty.
        text.remove(QStringLiteral("()"));
        return text;
    });
    return format.simplified();
}

} // namespace

QString ClockDateText(const QDate &today, const QLocale &locale, const QStringList &dayNames)
{
    QString format = UsableDateFormat(lc_LongDateFormat, QString::fromLatin1(kEnglishLongDateFormat));
    if (!format.contains(kWeekdayField))
        format.prepend(kWeekdayPrefix);
    QString text = locale.toString(today, format);
    const QString names = DayNames(dayNames, today, false);
    if (!names.isEmpty())
        text += kNamesSeparator + names;
    return text;
}

QString UsableDateFormat(const QString &format, const QString &fallback)
{
    for (const QChar field : {QLatin1Char('d'), QLatin1Char('M'), QLatin1Char('y')}) {
        if (ContainsUnquoted(format, field))
            return format;
    }
    return fallback;
}

QString ClockTimeText(const QTime &now, const QLocale &locale)
{
    return locale.toString(now, TimeFormatWithoutZone(locale));
}

QString FixedShortDateFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::Slovak) {
        const bool hasSeparator = ContainsUnquoted(format, QLatin1Char('.'))
                                  || ContainsUnquoted(format, QLatin1Char('/'))
                                  || ContainsUnquoted(format, QLatin1Char('-'));
        if (!hasSeparator)
            return kSlovakShortDate;
    }
    if (ContainsUnquoted(format, QLatin1Char('.'))) {
        format = MapUnquoted(format, [](const QString &part) {
            QString text = part;
            text.replace(QLatin1Char('/'), QLatin1Char('.'));
            return text;
        });
    }
    return format;
}

QString DateTimeText(const QDateTime &value, const QLocale &locale)
{
    if (!value.isValid())
        return {};
    return locale.toString(value.date(), FixedShortDateFormat(locale)) + QLatin1Char(' ')
           + ClockTimeText(value.time(), locale);
}
