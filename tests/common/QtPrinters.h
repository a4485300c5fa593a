// Readable failure messages for the Qt types our tests compare. Included into
// every test source by the build.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMargins>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << "bytes \"" << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", \"" : "\"") << list.at(i).toStdString() << '"';
    *out << '}';
}

inline void PrintTo(const QMargins &margins, std::ostream *out)
{
    *out << "QMargins(" << margins.left() << ", " << margins.top() << ", " << margins.right() << ", "
         << margins.bottom() << ')';
}

inline void PrintTo(const QDateTime &value, std::ostream *out)
{
    *out << value.toString(Qt::ISODateWithMs).toStdString();
}
