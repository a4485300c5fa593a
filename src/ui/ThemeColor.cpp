#include "ThemeColor.h"

#include <QGuiApplication>
#include <QPalette>
#include <QString>

namespace {

QPalette::ColorRole RoleOfSystemColor(TColor c)
{
    switch (c) {
    case kSysWindow: return QPalette::Base;
    case kSysHighlight: return QPalette::Highlight;
    case kSysHighlightText: return QPalette::HighlightedText;
    case kSysButtonFace: return QPalette::Button;
    case kSysButtonShadow: return QPalette::Mid;
    case kSysButtonText: return QPalette::ButtonText;
    case kSysWindowText:
    default: return QPalette::WindowText;
    }
}

} // namespace

TColor ColorToRGB(TColor c)
{
    if (!IsSystemColor(c))
        return c == kColorNone ? c : (c & 0x00FFFFFFu);
    const QPalette palette = QGuiApplication::palette();
    if (c == kSysGrayText)
        return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
    return FromQColor(palette.color(QPalette::Active, RoleOfSystemColor(c)));
}

QColor ToQColor(TColor c)
{
    if (c == kColorNone)
        return QColor();
    const TColor rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor FromQColor(const QColor &c)
{
    if (!c.isValid())
        return kColorNone;
    return RgbColor(c.red(), c.green(), c.blue());
}

QString ColorName(TColor c)
{
    if (c == kColorNone)
        return QStringLiteral("none");
    return ToQColor(c).name(QColor::HexRgb).toUpper();
}
