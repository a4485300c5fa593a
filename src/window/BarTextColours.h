// The texts and glyphs on the title bar and the panel keep their colours where
// those read on the theme's bar, and are made lighter or darker where not: a
// light theme would otherwise show white on white.
#pragma once

#include <QColor>

#include <vector>

class QLabel;
class TOmniBar;

// Every colour the bar paints behind its children: its own, and its gradient's
// end colour when it draws a gradient.
std::vector<QColor> BarBackgrounds(const TOmniBar &bar);

// `preferred`, or the least changed colour that reads on the bar.
QColor ReadableOnBar(const QColor &preferred, const TOmniBar &bar);

// Gives `label` the readable form of `preferred` as its text colour.
void ColourLabelOnBar(QLabel &label, const QColor &preferred, const TOmniBar &bar);
