#include "WindowLook.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

namespace WindowLook {

QFont Font(int points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

void StyleLabel(QLabel &label, const QColor &color, int points, bool bold)
{
    label.setFont(Font(points, bold));
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, color);
    label.setPalette(palette);
    label.setAutoFillBackground(false);
    label.setAttribute(Qt::WA_TranslucentBackground);
    label.setTextFormat(Qt::PlainText);
}

} // namespace WindowLook
