// The named values both the values tests and the layout manager tests store:
// one of each kind the INI file holds, and one enciphered.
#pragma once

#include "LayoutManagerValues.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

inline const QString kSampleKeyText = QStringLiteral("K3yP@ssw0rd!");

inline void AddSampleValues(TLayoutManagerValues &values)
{
    values.AddItem(QStringLiteral("RAS"), true);
    values.AddItem(QStringLiteral("WL"), QStringLiteral("Prague,CZ"));
    values.AddItem(QStringLiteral("WRI"), 60);
    values.AddItem(QStringLiteral("Zoom"), 1.25);
    values.AddItem(QStringLiteral("Since"), QDateTime(QDate(2021, 2, 26), QTime(14, 5, 9)));
    values.AddItem(QStringLiteral("OWM"), QString(), kSampleKeyText);
}
