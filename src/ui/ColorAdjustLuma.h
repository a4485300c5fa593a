// Luminance adjustment in hue-luminance-saturation space on the 0..240 scale,
// bit-exact with the integer routines that stored themes were made with.
// Colours are 32-bit values with red in the lowest byte (0x00BBGGRR); only the
// three low bytes are read. Plain C++, no toolkit.
#pragma once

#include <cstdint>

using TColorRef = std::uint32_t;

constexpr int kHlsMax = 240;  // range of hue, luminance and saturation
constexpr int kRgbMax = 255;
constexpr int kHueUndefined = kHlsMax * 2 / 3; // hue reported for greys

struct THls
{
    int H = 0;
    int L = 0;
    int S = 0;
};

inline bool operator==(const THls &a, const THls &b) { return a.H == b.H && a.L == b.L && a.S == b.S; }

constexpr TColorRef RgbColor(int r, int g, int b)
{
    return TColorRef(r & 0xFF) | (TColorRef(g & 0xFF) << 8) | (TColorRef(b & 0xFF) << 16);
}
constexpr int RedOf(TColorRef c) { return int(c & 0xFF); }
constexpr int GreenOf(TColorRef c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(TColorRef c) { return int((c >> 16) & 0xFF); }

THls ColorRGBToHLS(TColorRef rgb);
// Hue, luminance and saturation are expected in 0..240; values outside are clamped.
TColorRef ColorHLSToRGB(int hue, int luminance, int saturation);

// Moves the luminance by n thousandths: of the whole range without scale, of the
// distance to the nearer end with scale. n = 0 returns the colour untouched; any
// other n round-trips through HLS, which may shift a channel by one.
TColorRef ColorAdjustLuma(TColorRef rgb, int n, bool scale);
