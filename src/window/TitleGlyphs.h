// The pictures of the title-bar buttons, drawn by the program itself so they
// scale and follow no icon theme.
#pragma once

#include <QColor>
#include <QImage>

class TImageList;

// Image-list indexes of the buttons' pictures.
enum TTitleGlyph {
    tgRollDown = 0, // shown while rolled up: unrolls
    tgRollUp = 1,   // shown while unrolled: rolls up
    tgTheme = 2,
    tgRefresh = 3,
    tgSettings = 4,
};
inline constexpr int kTitleGlyphCount = 5;
inline constexpr int kTitleGlyphSize = 16;

// One picture, `size` pixels square, stroked in `color` with a dark halo so it
// reads on the bar and on the lighter hover colour alike.
QImage DrawTitleGlyph(TTitleGlyph glyph, int size, const QColor &color);

// Appends the five pictures in index order.
void AddTitleGlyphs(TImageList &images, const QColor &color);
