#include "HintWrap.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

int ReadableHintWidth(const QFontMetrics &metrics)
{
    return metrics.averageCharWidth() * kReadableHintCharacters;
}

namespace {

QString WrapLine(const QString &line, const QFontMetrics &metrics, int maxWidth)
{
    if (metrics.horizontalAdvance(line) <= maxWidth)
        return line;
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString current;
    for (const QString &word : words) {
        const QString joined = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (!current.isEmpty() && metrics.horizontalAdvance(joined) > maxWidth) {
            lines << current;
            current = word;
        } else {
            current = joined;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString WrapHint(const QString &text, const QFontMetrics &metrics, int maxWidth)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = WrapLine(line, metrics, maxWidth);
    return lines.join(QLatin1Char('\n'));
}

bool THintWrap::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    const QString hint = widget->toolTip();
    // Rich text wraps by itself; an empty hint is the widget's or its parent's to handle.
    if (hint.isEmpty() || Qt::mightBeRichText(hint))
        return QObject::eventFilter(watched, event);
    const QFontMetrics metrics(QToolTip::font());
    const QString wrapped = WrapHint(hint, metrics, ReadableHintWidth(metrics));
    if (wrapped == hint)
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    QToolTip::showText(help->globalPos(), wrapped, widget, QRect(), widget->toolTipDuration());
    return true;
}
