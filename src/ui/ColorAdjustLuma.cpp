#include "ColorAdjustLuma.h"

#include <algorithm>

namespace {

constexpr int kHueSixth = kHlsMax / 6;      // 40: one sixth of the hue circle
constexpr int kHueThird = kHlsMax / 3;      // 80
constexpr int kHlsHalf = kHlsMax / 2;       // 120
constexpr int kLumaScale = 1000;            // n is given in thousandths
constexpr int kScaledTop = kHlsMax + 1;     // positive scaled steps aim one past the top

int HueToLevel(int m1, int m2, int h)
{
    if (h < 0)
        h += kHlsMax;
    else if (h > kHlsMax)
        h -= kHlsMax;
    if (h < kHueSixth)
        return m1 + ((m2 - m1) * h + kHueSixth / 2) / kHueSixth;
    if (h < kHlsHalf)
        return m2;
    if (h < kHueUndefined)
        return m1 + ((m2 - m1) * (kHueUndefined - h) + kHueSixth / 2) / kHueSixth;
    return m1;
}

int LevelToChannel(int v)
{
    return (v * kRgbMax + kHlsHalf) / kHlsMax;
}

} // namespace

THls ColorRGBToHLS(TColorRef rgb)
{
    const int r = RedOf(rgb), g = GreenOf(rgb), b = BlueOf(rgb);
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    const int sum = mx + mn;
    const int d = mx - mn;

    THls hls;
    hls.L = (sum * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (d == 0) {
        hls.S = 0;
        hls.H = kHueUndefined;
        return hls;
    }
    if (hls.L <= kHlsHalf)
        hls.S = (d * kHlsMax + sum / 2) / sum;
    else
        hls.S = (d * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);

    const int rn = ((mx - r) * kHueSixth + d / 2) / d;
    const int gn = ((mx - g) * kHueSixth + d / 2) / d;
    const int bn = ((mx - b) * kHueSixth + d / 2) / d;
    if (r == mx)
        hls.H = bn - gn;
    else if (g == mx)
        hls.H = kHueThird + rn - bn;
    else
        hls.H = kHueUndefined + gn - rn;

    if (hls.H < 0)
        hls.H += kHlsMax;
    else if (hls.H > kHlsMax)
        hls.H -= kHlsMax;
    return hls;
}

TColorRef ColorHLSToRGB(int hue, int luminance, int saturation)
{
    const int h = std::clamp(hue, 0, kHlsMax);
    const int l = std::clamp(luminance, 0, kHlsMax);
    const int s = std::clamp(saturation, 0, kHlsMax);
    if (s == 0) {
        const int grey = l * kRgbMax / kHlsMax;
        return RgbColor(grey, grey, grey);
    }
    const int m2 = l <= kHlsHalf ? (l * (kHlsMax + s) + kHlsHalf) / kHlsMax
                                 : l + s - (l * s + kHlsHalf) / kHlsMax;
    const int m1 = 2 * l - m2;
    const int r = LevelToChannel(HueToLevel(m1, m2, h + kHueThird));
    const int g = LevelToChannel(HueToLevel(m1, m2, h));
    const int b = LevelToChannel(HueToLevel(m1, m2, h - kHueThird));
    return RgbColor(std::min(r, kRgbMax), std::min(g, kRgbMax), std::min(b, kRgbMax));
}

TColorRef ColorAdjustLuma(TColorRef rgb, int n, bool scale)
{
    if (n == 0)
        return rgb;
    // Beyond a full step every formula saturates, so this only guards the products.
    n = std::clamp(n, -kLumaScale, kLumaScale);
    const THls hls = ColorRGBToHLS(rgb);
    int l;
    if (!scale)
        l = hls.L + (n * kHlsMax) / kLumaScale;
    else if (n > 0)
        l = (hls.L * (kLumaScale - n) + kScaledTop * n) / kLumaScale;
    else
        l = hls.L * (kLumaScale + n) / kLumaScale;
    return ColorHLSToRGB(hls.H, std::clamp(l, 0, kHlsMax), hls.S);
}
