// Draws the stock full-moon pictures (grey and tinted) and their masks at the
// three moon sizes, with the disc at the centre and radius the moon picture
// expects. Usage: gen_moon_pictures <output dir>
#include "moon_geometry.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>

namespace {

// A dark plain ("mare") or bright crater as a soft blob on the unit disc
// (x to the right, y downwards, radius 1 = limb).
struct Feature {
    double x, y, radius, strength; // strength < 0 darkens, > 0 brightens
};

// Roughly where the large plains of the near side lie as seen from the north.
const Feature kFeatures[] = {
    {-0.38, -0.38, 0.30, -0.45}, // large north-western plain
    {0.12, -0.42, 0.18, -0.40},  // northern plain, east
    {0.33, 0.02, 0.22, -0.42},   // plain of the landing site
    {0.68, -0.22, 0.12, -0.45},  // eastern round plain
    {-0.62, 0.05, 0.33, -0.33},  // western ocean
    {-0.15, 0.30, 0.20, -0.28},  // southern plain
    {0.48, 0.35, 0.16, -0.30},   // south-eastern plain
    {-0.08, -0.08, 0.10, -0.25},
    {-0.12, 0.72, 0.06, 0.35},   // bright southern crater
    {-0.46, -0.10, 0.05, 0.25},  // bright western crater
    {0.25, 0.65, 0.12, 0.12},    // southern highlands
    {-0.35, 0.60, 0.15, 0.10},
};

double brightness(double u, double v)
{
    const double rho2 = u * u + v * v;
    // Highland grey with a little limb darkening.
    double b = 0.80 - 0.12 * rho2;
    for (const Feature &f : kFeatures) {
        const double dx = u - f.x;
        const double dy = v - f.y;
        b += f.strength * std::exp(-(dx * dx + dy * dy) / (f.radius * f.radius));
    }
    // A fine mottle so larger pictures do not look flat; deterministic.
    b += 0.015 * std::sin(23.0 * u + 7.0 * v) * std::cos(19.0 * v - 5.0 * u);
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
