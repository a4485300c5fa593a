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

QString WithoutControlCharacters(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        // Qt's labels break lines at the Unicode separators as at a line feed.
        if (c == u'\t' || c == u'\n' || c == u'\r' || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            clean += u' ';
        else if (category != QChar::Other_Control)
            clean += c;
    }
    return clean;
}

QString MidWholeCharacters(const QString &text, qsizetype from, qsizetype length)
{
    from = qBound(qsizetype(0), from, text.size());
    qsizetype end = length < 0 || length > text.size() - from ? text.size() : from + length;
    if (from > 0 && from < text.size() && text.at(from).isLowSurrogate() && text.at(from - 1).isHighSurrogate())
        ++from;
    if (end > from && end < text.size() && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.mid(from, qMax(qsizetype(0), end - from));
}
