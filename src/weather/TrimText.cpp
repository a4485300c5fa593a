#include "TrimText.h"

namespace {

bool IsSpaceOrControl(QChar c)
{
    return c.unicode() <= u' ';
}

} // namespace

QString TrimControl(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsSpaceOrControl(text.at(first)))
        ++first;
    while (last > first && IsSpaceOrControl(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}
