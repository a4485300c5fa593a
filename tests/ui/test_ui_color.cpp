#include "ColorAdjustLuma.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TColorRef Hex(unsigned rrggbb)
{
    return RgbColor(int(rrggbb >> 16), int(rrggbb >> 8), int(rrggbb));
}

std::string Name(TColorRef c)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}

struct LumaCase
{
    unsigned input;
    int n;
    bool scale;
    THls hls;
    unsigned output;
};

// Reference vectors of the integer routines, including the theme's check values
// (rounding cases, the 241 constant, grey truncation and a lossy round trip).
const LumaCase kLumaCases[] = {
    {0x4E4D49, 0, false, {32, 71, 8}, 0x4E4D49},
    {0x4E4D49, 600, true, {32, 71, 8}, 0xBAB9B6},
    {0x4E4D49, -200, true, {32, 71, 8}, 0x3E3D39},
    {0x4E4D49, -200, false, {32, 71, 8}, 0x1A1A17},
    {0x4E4D49, 400, false, {32, 71, 8}, 0xB4B3AF},
    {0x4E4D49, 850, true, {32, 71, 8}, 0xE6E6E3},
    {0x4E4D49, 200, false, {32, 71, 8}, 0x83817A},
    {0x4E4D49, 750, false, {32, 71, 8}, 0xFFFFFF},
    {0x4E4D49, 100, false, {32, 71, 8}, 0x686762},
    {0x4E4D49, -100, false, {32, 71, 8}, 0x343330},
    {0xFF0000, 200, false, {0, 120, 240}, 0xFF6666},
    {0xFF0000, -300, true, {0, 120, 240}, 0xB30000},
    {0xFFFFFF, -200, false, {160, 240, 0}, 0xCCCCCC},
    {0xFFFFFF, -500, true, {160, 240, 0}, 0x7F7F7F},
    {0x000000, 500, true, {160, 0, 0}, 0x7F7F7F},
    {0x2B579A, -200, false, {144, 93, 135}, 0x152B4A},
    {0x217346, 850, true, {98, 70, 133}, 0xD6F3E3},
    {0x217346, -300, true, {98, 70, 133}, 0x175131},
    {0xC34B32, 850, true, {7, 115, 142}, 0xF8E4E0},
    {0x808080, -215, false, {160, 120, 0}, 0x494949},
    {0x0078D7, 1, false, {138, 101, 240}, 0x0076D7},
};

TEST(ColorAdjustLuma, ReferenceVectors)
{
    for (const LumaCase &c : kLumaCases) {
        SCOPED_TRACE(Name(Hex(c.input)) + " n=" + std::to_string(c.n) + (c.scale ? " scaled" : ""));
        const THls hls = ColorRGBToHLS(Hex(c.input));
        EXPECT_EQ(hls.H, c.hls.H);
        EXPECT_EQ(hls.L, c.hls.L);
        EXPECT_EQ(hls.S, c.hls.S);
        EXPECT_EQ(Name(ColorAdjustLuma(Hex(c.input), c.n, c.scale)), Name(Hex(c.output)));
    }
}

TEST(ColorAdjustLuma, ZeroStepKeepsTheHighByte)
{
    // No round trip at all for n = 0, so even bits outside the RGB bytes survive.
    EXPECT_EQ(ColorAdjustLuma(0x12345678u, 0, true), 0x12345678u);
}

TEST(ColorAdjustLuma, SaturatesAtBothEnds)
{
    struct Case { unsigned input; int n; bool scale; unsigned output; };
    const Case cases[] = {
        {0x4E4D49, 1000, true, 0xFFFFFF},   // would be luminance 241 without the clamp
        {0x4E4D49, 5000, true, 0xFFFFFF},
        {0x4E4D49, -1000, true, 0x000000},
        {0x4E4D49, -100000, true, 0x000000},
        {0x4E4D49, 2000000000, false, 0xFFFFFF}, // no overflow for absurd steps
        {0x4E4D49, -2000000000, false, 0x000000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(Name(ColorAdjustLuma(Hex(c.input), c.n, c.scale)), Name(Hex(c.output)));
    }
}

struct PresetRow
{
    unsigned base;
    unsigned border, hot, selected, font, tabBackground, hotFont;
};

// Looks derived from every preset base colour.
const PresetRow kPresetRows[] = {
    {0x2B579A, 0x152B4A, 0xDBE6F4, 0xAAC2E8, 0xFFFFFF, 0x5A8AD1, 0x366FC2},
    {0x217346, 0x0B2416, 0xD6F3E3, 0x85DCAC, 0xFFFFFF, 0x38C277, 0x2D9B5F},
    {0xC34B32, 0x722C1D, 0xF8E4E0, 0xF2D5CE, 0xFFFFFF, 0xDE8D7C, 0xD36A54},
    {0x68217A, 0x230C29, 0xEDD6F3, 0xCE88DF, 0xFFFFFF, 0xAC38C9, 0x8B2CA3},
    {0x323947, 0x07090C, 0xDDE0E8, 0x939DB3, 0xFBFCFD, 0x5C6983, 0x475165},
    {0x803A0A, 0x220F02, 0xFBDFCC, 0xF29D64, 0xFFFFFF, 0xDF6411, 0xAF4F0E},
    {0x000000, 0x000000, 0xD8D8D8, 0x666666, 0xBFBFBF, 0x333333, 0x191919},
    {0x5C6579, 0x30343F, 0xE6E8EC, 0xCACED7, 0xFFFFFF, 0x8F98AB, 0x737D95},
    {0x4E4D49, 0x1A1A17, 0xE6E6E3, 0xB4B3AF, 0xFFFFFF, 0x83817A, 0x686762},
};

TEST(ColorAdjustLuma, PresetDerivations)
{
    for (const PresetRow &r : kPresetRows) {
        const TColorRef base = Hex(r.base);
        SCOPED_TRACE(Name(base));
        EXPECT_EQ(Name(ColorAdjustLuma(base, -200, false)), Name(Hex(r.border)));
        EXPECT_EQ(Name(ColorAdjustLuma(base, 850, true)), Name(Hex(r.hot)));
        EXPECT_EQ(Name(ColorAdjustLuma(base, 400, false)), Name(Hex(r.selected)));
        EXPECT_EQ(Name(ColorAdjustLuma(base, 750, false)), Name(Hex(r.font)));
        EXPECT_EQ(Name(ColorAdjustLuma(base, 200, false)), Name(Hex(r.tabBackground)));
        EXPECT_EQ(Name(ColorAdjustLuma(base, 100, false)), Name(Hex(r.hotFont)));
    }
}

TEST(ColorHLSToRGB, GreyTruncatesAndOutOfRangeInputIsClamped)
{
    EXPECT_EQ(Name(ColorHLSToRGB(160, 120, 0)), "#7F7F7F");
    EXPECT_EQ(Name(ColorHLSToRGB(0, 240, 0)), "#FFFFFF");
    EXPECT_EQ(Name(ColorHLSToRGB(-5, 300, 999)), Name(ColorHLSToRGB(0, 240, 240)));
}

TEST(ColorRGBToHLS, RoundTripsPrimariesAndHueWraps)
{
    struct Case { unsigned rgb; THls hls; };
    const Case cases[] = {
        {0x00FF00, {80, 120, 240}},
        {0x0000FF, {160, 120, 240}},
        {0xFF00FF, {200, 120, 240}},
        {0xFF0080, {220, 120, 240}}, // red maximum with blue above green: hue wraps
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Name(Hex(c.rgb)));
        EXPECT_EQ(ColorRGBToHLS(Hex(c.rgb)), c.hls);
        EXPECT_EQ(Name(ColorHLSToRGB(c.hls.H, c.hls.L, c.hls.S)), Name(Hex(c.rgb)));
    }
}

} // namespace
