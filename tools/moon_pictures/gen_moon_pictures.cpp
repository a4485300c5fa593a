// Draws the stock full-moon pictures (grey and tinted) and their masks at the
// three moon sizes, with the disc at the centre and radius the moon picture
// expects. Usage: gen_moon_pictures <output dir>
#include "moon_geometry.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;

// A dark plain ("mare") or a bright crater on the sphere: selenographic latitude
// and longitude (degrees, north and east positive; north up and east to the
// right as the moon is seen from the northern hemisphere), angular radius (degrees) and how much it darkens (< 0) or
// brightens (> 0). The large plains are several patches, so their outlines are
// not circles.
struct Feature {
    double latitude, longitude, radius, strength;
};

const Feature kFeatures[] = {
    // plains
    {33, -16, 10, -0.42}, {40, -8, 5, -0.30},                       // rains
    {28, 17.5, 9, -0.40},                                            // serenity
    {8.5, 31, 9, -0.40}, {2, 25, 6, -0.34}, {14, 38, 5, -0.30},      // tranquillity (the landing site)
    {17, 59, 6.5, -0.46},                                            // crises
    {-7, 51, 8, -0.30}, {-2, 46, 5, -0.26},                          // fecundity
    {-15, 35, 4.5, -0.32},                                           // nectar
    {-21, -17, 8, -0.30}, {-10, -22, 5, -0.26},                      // clouds, known sea
    {-24, -39, 5, -0.34},                                            // moisture
    {13, 4, 4, -0.28}, {2, 0, 3, -0.20},                             // vapours, central bay
    {8, -27, 7, -0.26},                                              // islands
    {5, -55, 12, -0.34}, {22, -55, 11, -0.34}, {35, -45, 8, -0.28}, // western ocean
    {-5, -43, 9, -0.30}, {12, -42, 7, -0.28}, {45, -35, 6, -0.26},
    {56, -25, 5, -0.26}, {57, -2, 5, -0.28}, {55, 20, 5, -0.24},    // cold sea
    {43, 27, 4, -0.24},                                              // lake of dreams
    // bright craters
    {-43.3, -11.4, 1.8, 0.32}, {9.6, -20.1, 1.6, 0.22}, {8.1, -38.0, 1.2, 0.20},
    {23.7, -47.4, 1.1, 0.34}, {-8.9, 15.5, 1.3, 0.16}, {-11.4, 1.9, 1.2, 0.14},
};

// A faint ray from the bright southern crater: a soft streak towards the
// north-east, fading over 40 degrees.
double rayBrightness(double latitude, double longitude)
{
    constexpr double kRayLat = -43.3;
    constexpr double kRayLon = -11.4;
    const double dLat = latitude - kRayLat;
    const double dLon = longitude - kRayLon;
    const double along = 0.5 * dLat + 0.87 * dLon;
    const double across = -0.87 * dLat + 0.5 * dLon;
    if (along < 0 || along > 40)
        return 0;
    return 0.06 * std::exp(-across * across / 6.0) * (1 - along / 40);
}

// Angle between two points of the sphere, degrees.
double arcBetween(double lat1, double lon1, double lat2, double lon2)
{
    const double c = std::sin(lat1 * kDegree) * std::sin(lat2 * kDegree) +
                     std::cos(lat1 * kDegree) * std::cos(lat2 * kDegree) * std::cos((lon1 - lon2) * kDegree);
    return std::acos(std::clamp(c, -1.0, 1.0)) / kDegree;
}

// Deterministic ripple on the sphere that frays the plains' edges and mottles
// the highlands.
double ripple(double latitude, double longitude)
{
    const double a = latitude * kDegree;
    const double o = longitude * kDegree;
    return 0.5 * std::sin(7.0 * a + 3.0 * o) * std::cos(5.0 * o - 2.0 * a) +
           0.3 * std::sin(17.0 * o + 11.0 * a + 1.3) + 0.2 * std::cos(23.0 * a - 13.0 * o + 0.7);
}

// The patches are listed at their cores; spread out they merge into the
// connected plains of the near side.
constexpr double kSpread = 1.15;
constexpr double kDarkestPlain = -0.46;

// Brightness at (u, v) on the unit disc (x to the right, y downwards, north up).
double brightness(double u, double v)
{
    const double rho2 = u * u + v * v;
    const double latitude = std::asin(std::clamp(-v, -1.0, 1.0)) / kDegree;
    const double cosLat = std::cos(latitude * kDegree);
    const double longitude = cosLat > 1e-9 ? std::asin(std::clamp(u / cosLat, -1.0, 1.0)) / kDegree : 0;
    const double rough = ripple(latitude, longitude);

    // Bright highlands, brighter in the south, a little darker towards the limb.
    double b = 0.80 + 0.04 * v - 0.10 * rho2 + 0.025 * rough;
    // Overlapping patches merge: each covers a share of what the others left.
    double uncovered = 1;
    double bright = 0;
    for (const Feature &f : kFeatures) {
        const double d = arcBetween(latitude, longitude, f.latitude, f.longitude) / (kSpread * f.radius);
        if (f.strength < 0) {
            const double edge = d * (1 + 0.18 * rough);
            uncovered *= 1 - (f.strength / kDarkestPlain) / (1 + std::pow(edge, 4));
        } else {
            bright += f.strength * std::exp(-d * d);
        }
    }
    b += kDarkestPlain * (1 - uncovered) + bright + rayBrightness(latitude, longitude);
    return std::clamp(b, 0.08, 1.0);
}

QRgb shade(double b, bool tinted)
{
    if (!tinted) {
        const int g = static_cast<int>(std::lround(255 * b));
        return qRgb(g, g, g);
    }
    // Warm, slightly yellow highlands and bluish-grey plains.
    const double warm = std::clamp((b - 0.45) * 2.0, 0.0, 1.0);
    const double r = b * (0.92 + 0.10 * warm);
    const double g = b * (0.90 + 0.04 * warm);
    const double bl = b * (0.98 - 0.22 * warm);
    return qRgb(static_cast<int>(std::lround(255 * std::clamp(r, 0.0, 1.0))),
                static_cast<int>(std::lround(255 * std::clamp(g, 0.0, 1.0))),
                static_cast<int>(std::lround(255 * std::clamp(bl, 0.0, 1.0))));
}

// Each pixel is sampled 4×4 times, so the small pictures keep their features.
QImage picture(const moon_geometry::Row &row, bool tinted)
{
    constexpr int kSamples = 4;
    QImage img(row.width, row.height, QImage::Format_RGB32);
    img.fill(Qt::black);
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x) {
            if (!moon_geometry::insideDisc(row, x, y))
                continue;
            double r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double u = (x - row.centreX + (sx + 0.5) / kSamples - 0.5) / row.radius;
                    const double v = (y - row.centreY + (sy + 0.5) / kSamples - 0.5) / row.radius;
                    const QRgb c = shade(brightness(u, v), tinted);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            constexpr int n = kSamples * kSamples;
            img.setPixel(x, y, qRgb(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)));
        }
    return img;
}

// Black (opaque) on the disc, white (transparent) elsewhere.
QImage mask(const moon_geometry::Row &row)
{
    QImage img(row.width, row.height, QImage::Format_Mono);
    img.setColor(0, qRgb(255, 255, 255));
    img.setColor(1, qRgb(0, 0, 0));
    img.fill(0);
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x)
            if (moon_geometry::insideDisc(row, x, y))
                img.setPixel(x, y, 1);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_moon_pictures <output dir>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const char *suffix[] = {"large", "small", "tiny"};
    bool ok = true;
    for (int s = 0; s < moon_geometry::kSizes; ++s) {
        const moon_geometry::Row &row = moon_geometry::kRows[s];
        const QString tail = QString::fromLatin1(suffix[s]) + QStringLiteral(".png");
        ok &= picture(row, false).save(dir + QStringLiteral("/moon_") + tail);
        ok &= picture(row, true).save(dir + QStringLiteral("/moon_color_") + tail);
        ok &= mask(row).save(dir + QStringLiteral("/moon_bw_") + tail);
    }
    if (!ok) {
        std::fprintf(stderr, "gen_moon_pictures: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
