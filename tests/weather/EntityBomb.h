// A few hundred kilobytes that a DOM parser would grow to about a gigabyte:
// one modest internal entity referenced many times stays under per-entity
// expansion limits.
#pragma once

#include <QByteArray>

inline QByteArray ManyReferenceEntityDocument()
{
    constexpr int kEntityLength = 4000;
    constexpr int kReferences = 60000;
    QByteArray document("<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n <!ENTITY big \"");
    document += QByteArray(kEntityLength, 'x');
    document += "\">\n]>\n<current><city id=\"1\" name=\"";
    for (int i = 0; i < kReferences; ++i)
        document += "&big;";
    document += "\"/></current>\n";
    return document;
}
