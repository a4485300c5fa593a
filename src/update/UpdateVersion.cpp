#include "UpdateVersion.h"

#include <QLocale>

#include <cmath>

namespace {

const QChar kPartSeparator = QLatin1Char('.');

qint64 LeadingPart(const QString &version)
{
    bool ok = false;
    const qint64 value = version.section(kPartSeparator, 0, 0).toLongLong(&ok);
    return ok ? value : 0;
}

QString WithoutLeadingPart(const QString &version)
{
    const qsizetype dot = version.indexOf(kPartSeparator);
    return dot < 0 ? QString() : version.mid(dot + 1);
}

bool IsNewerStandard(QString current, QString newer)
{
    for (;;) {
        const qint64 currentPart = LeadingPart(current);
        const qint64 newPart = LeadingPart(newer);
        if (newPart != currentPart)
            return newPart > currentPart;
        if (!current.contains(kPartSeparator))
            return false;
        current = WithoutLeadingPart(current);
        newer = WithoutLeadingPart(newer);
    }
}

bool ToNumber(const QString &text, double &value)
{
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace

bool IsNewerVersion(const QString &currentVersion, const QString &newVersion, TVersionFormat format)
{
    switch (format) {
    case vfStandard:
        return IsNewerStandard(currentVersion, newVersion);
    case vfString:
        return QString::compare(newVersion, currentVersion, Qt::CaseSensitive) > 0;
    case vfNumber: {
        double current = 0;
        double newer = 0;
        return ToNumber(currentVersion, current) && ToNumber(newVersion, newer) && current < newer;
    }
    }
    return false;
}
