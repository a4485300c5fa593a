// Time-zone dependent expectations: the test binaries run once per zone that
// CTest sets in TZ, and each case names what it expects in each zone.
#pragma once

#include <QByteArray>
#include <QString>

inline QByteArray CurrentZone()
{
    return qgetenv("TZ");
}
