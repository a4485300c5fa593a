// Where the disc and the landing-site dot lie in the stock moon pictures, one
// row per picture size (64, 32 and 16 pixels).
#pragma once

#include <cmath>

namespace moon_geometry {

struct Row {
    int height, width;
    int centreY, centreX;
    int radius;
    int dotX, dotY;
};

constexpr int kSizes = 3;
constexpr Row kRows[kSizes] = {
    {64, 64, 28, 31, 28, 41, 29},
    {32, 32, 14, 15, 14, 20, 15},
    {16, 16, 7, 7, 7, 9, 7},
};

// Half-width of the disc on the row g pixels from the centre, rounded as the
// shading rounds it (halves to even).
inline int halfWidth(const Row &row, int g)
{
    const double h = std::sqrt(static_cast<double>(row.radius * row.radius - g * g));
    return static_cast<int>(std::nearbyint(h));
}

// The pictures' disc: one pixel inside the shading's outer column, so a full
// moon stays clear and a new moon covers the disc completely.
inline bool insideDisc(const Row &row, int x, int y)
{
    const int g = y - row.centreY;
    if (g <= -row.radius || g >= row.radius)
        return false;
    const int dx = x - row.centreX;
    const int l = halfWidth(row, g < 0 ? -g : g);
    return dx > -l && dx < l;
}

} // namespace moon_geometry
