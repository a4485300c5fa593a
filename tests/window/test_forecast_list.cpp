// The forecast list as painted (offscreen): colours of weekend and weekday
// texts, where and how large the pictures land, the theme's recolouring, the
// selection, tooltips for cut texts, moving the window and the context menu.
#include "DateTimeConv.h"
#include "ForecastList.h"
#include "mooncomp.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kWidth = 466; // the window's inner width: the moon column gets its 172 pixels
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// Noon (universal time) of a day, as the moon picture is asked for it.
TDateTime DateTimeFromDate(const QDate &date)
{
    return static_cast<double>(DateTimeEpoch().daysTo(date)) + 0.5;
}

// A forecast day dated on a given weekday, its pictures named by the caller.
TForecastRow Row(const QDate &date, const QString &iconPath, bool withTexts = true)
{
    TForecastRow row;
    row.Date = date;
    row.Weekend = date.dayOfWeek() >= 6;
    row.IconPath = iconPath;
    row.MoonTime = DateTimeFromDate(date);
    if (withTexts) {
        row.DateText = QStringLiteral("\nSaturday\n7.3.2026\n\nDay 66");
        row.DescriptionText = QStringLiteral("Light rain\n\nHumidity: 81 %\nWind: 4.13 m/s WSW\nPrecipitations: 2.25 mm");
        row.MoonSunText = QStringLiteral("Moon: 42%\n\nSunrise: 6:43:12\nSunset: 17:43:48\n\nCloud Coverage: 90 %");
        row.PressureText = QStringLiteral("1012.3 hPa");
        row.RangeText = QStringLiteral("12/3 °C");
    }
    return row;
}

QString WritePicture(const QTemporaryDir &dir, const QString &name, int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

QImage Render(TForecastList &list, qreal ratio)
{
    QImage image(list.size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    list.render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

// The bounding box of the pixels of exactly this colour inside `area`.
QRect BoxOf(const QImage &image, const QColor &colour, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountPixels(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool Near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue())
           <= tolerance;
}

struct ListFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        list.resize(kWidth, 2 * TForecastList::kRowHeight);
    }

    QTemporaryDir dir;
    TForecastList list;
};

} // namespace

TEST_F(ListFixture, WeekendTextsInTheLightenedHeaderColourAndWeekdaysInWhite)
{
    list.ApplyTheme(RgbColor(40, 40, 40), RgbColor(0, 0, 160), RgbColor(78, 77, 73));
    const QColor weekend = list.Colours().Weekend;
    // The lightened blue reads too faintly on the grey date column: made lighter still.
    const QColor header = ToQColor(ColorAdjustLuma(RgbColor(0, 0, 160), 500, true));
    EXPECT_LT(ContrastRatio(header, list.Colours().Columns[0]), kLeastTextContrast);
    EXPECT_EQ(weekend, ReadableOn(header, TextBackgrounds(list.Colours())));
    EXPECT_GE(ContrastRatio(weekend, list.Colours().Columns[0]), kLeastTextContrast);
    ASSERT_FALSE(Near(weekend, Qt::white, 120));

    list.SetRows({Row(QDate(2026, 3, 6), QString()), Row(QDate(2026, 3, 7), QString())}); // Friday, Saturday
    const QImage image = list.grab().toImage();
    auto white = [](const QColor &c) { return c.red() > 235 && c.green() > 235 && c.blue() > 235; };
    auto lightened = [&](const QColor &c) { return Near(c, weekend, 45); };
    // Every column's text, the bold range included.
    for (int column : {0, 1, 2, 3}) {
        SCOPED_TRACE(column);
        QRect friday = list.CellRect(0, column).adjusted(1, 1, -2, -2);
        QRect saturday = list.CellRect(1, column).adjusted(1, 1, -2, -2);
        if (column == 3) { // not the moon picture
            friday.setRight(list.MoonRect(0).left() - 1);
            saturday.setRight(list.MoonRect(1).left() - 1);
        }
        EXPECT_GT(CountPixels(image, friday, white), 5);
        EXPECT_EQ(CountPixels(image, friday, lightened), 0);
        EXPECT_GT(CountPixels(image, saturday, lightened), 5);
        EXPECT_EQ(CountPixels(image, saturday, white), 0);
    }
    const QRect saturdayRange(list.CellRect(1, 1).left(), list.CellRect(1, 1).top() + TForecastList::kRangeTop,
                              TForecastList::kColumnWidths[1], TForecastList::kRowHeight - TForecastList::kRangeTop - 1);
    EXPECT_GT(CountPixels(image, saturdayRange, lightened), 5);
}

TEST_F(ListFixture, PicturesCentredLargeOnesShrunkToAboutFiftyPixels)
{
    const QString large = WritePicture(dir, QStringLiteral("64.png"), 64, kRed);
    const QString small = WritePicture(dir, QStringLiteral("32.png"), 32, kGreen);
    list.SetRows({Row(QDate(2026, 3, 6), large, false), Row(QDate(2026, 3, 7), small, false)});
    const QImage image = list.grab().toImage();
    // Column 1 is 64 wide from x 80; a row is 80 high.
    EXPECT_EQ(BoxOf(image, kRed, list.CellRect(0, 1)), QRect(80 + 7, 8 + 7, 50, 50));
    EXPECT_EQ(BoxOf(image, kGreen, list.CellRect(1, 1)), QRect(80 + 16, 80 + 24, 32, 32));
    EXPECT_EQ(list.PictureRect(0), QRect(87, 15, 50, 50));

    // Loaded once with the rows: a file gone since then is still shown.
    ASSERT_TRUE(QFile::remove(large));
    list.update();
    EXPECT_EQ(BoxOf(list.grab().toImage(), kRed, list.CellRect(0, 1)), QRect(87, 15, 50, 50));

    // A missing or unreadable picture leaves the cell without one.
    QFile junk(dir.filePath(QStringLiteral("junk.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    list.SetRows({Row(QDate(2026, 3, 6), dir.filePath(QStringLiteral("gone.png"))),
                  Row(QDate(2026, 3, 7), junk.fileName())});
    EXPECT_TRUE(list.PictureRect(0).isNull());
    EXPECT_TRUE(list.PictureRect(1).isNull());
    list.grab();
}

TEST_F(ListFixture, MoonPictureThirtyFivePixelsFromTheRightAndFiveFromTheTop)
{
    const QDate day(2026, 3, 6);
    list.SetRows({Row(day, QString(), false)});
    TMoon moon;
    moon.SetShowApollo11(false);
    moon.SetMoonStyle(msColor);
    moon.SetDate(DateTimeFromDate(day));
    const QImage expected = moon.MaskedPicture(ms32);
    const QImage image = list.grab().toImage();
    const QPoint corner(kWidth - 35, 5);
    EXPECT_EQ(list.MoonRect(0), QRect(corner, QSize(32, 32)));
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor want = expected.pixelColor(x, y);
            if (want.alpha() != 255)
                continue;
            ++opaque;
            ASSERT_EQ(image.pixelColor(corner + QPoint(x, y)).rgb(), want.rgb()) << x << "," << y;
        }
    EXPECT_GT(opaque, 500); // the disc, not an empty picture
}

// South of the equator a waxing crescent is lit on the other side: the row's
// moon is the northern picture turned by 180 degrees.
TEST_F(ListFixture, TheSouthernMoonIsTheNorthernOneTurned)
{
    const QDate crescent(2026, 3, 22); // three days after the new moon
    TForecastRow north = Row(crescent, QString(), false);
    TForecastRow south = north;
    south.MoonUpsideDown = true;
    list.SetRows({north, south});
    const QImage image = list.grab().toImage();
    const QPoint northCorner = list.MoonRect(0).topLeft();
    const QPoint southCorner = list.MoonRect(1).topLeft();

    TMoon moon;
    moon.SetShowApollo11(false);
    moon.SetMoonStyle(msColor);
    moon.SetDate(DateTimeFromDate(crescent));
    const QImage disc = moon.MaskedPicture(ms32);
    int opaque = 0, asymmetric = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (disc.pixelColor(x, y).alpha() != 255 || disc.pixelColor(31 - x, 31 - y).alpha() != 255)
                continue;
            ++opaque;
            const QRgb northern = image.pixel(northCorner + QPoint(x, y));
            ASSERT_EQ(image.pixel(southCorner + QPoint(31 - x, 31 - y)), northern) << x << "," << y;
            if (northern != image.pixel(southCorner + QPoint(x, y)))
                ++asymmetric;
        }
    EXPECT_GT(opaque, 400); // the disc, not an empty picture
    EXPECT_GT(asymmetric, 50); // a crescent: turning it shows
}

TEST_F(ListFixture, CrispAtOneAndAHalfAndTwiceTheDensity)
{
    const QString large = WritePicture(dir, QStringLiteral("64.png"), 64, kRed);
    const QDate day(2026, 3, 6);
    list.SetRows({Row(day, large, false)});

    // At twice the density the moon is the 64-pixel picture itself, not the
    // 32-pixel one blown up.
    TMoon moon;
    moon.SetShowApollo11(false);
    moon.SetMoonStyle(msColor);
    moon.SetDate(DateTimeFromDate(day));
    const QImage large64 = moon.MaskedPicture(ms64);
    const QImage twice = Render(list, 2.0);
    const QPoint corner = list.MoonRect(0).topLeft() * 2;
    int differing = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (large64.pixelColor(x, y).alpha() == 255
                && twice.pixelColor(corner + QPoint(x, y)).rgb() != large64.pixelColor(x, y).rgb())
                ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(BoxOf(twice, kRed, QRect(list.CellRect(0, 1).topLeft() * 2, QSize(128, 160))),
              QRect(QPoint(87, 15) * 2, QSize(100, 100)));

    // At one and a half: 75 device pixels for the 50 logical ones, the moon at 48.
    const QImage half = Render(list, 1.5);
    const QRect picture = BoxOf(half, kRed, QRect(QPoint(120, 0), QSize(96, 120)));
    EXPECT_NEAR(picture.width(), 75, 1);
    EXPECT_NEAR(picture.height(), 75, 1);
    EXPECT_NEAR(picture.left(), 130, 1);
    const QRect moonArea(list.MoonRect(0).topLeft() * 1.5 - QPoint(2, 2), QSize(52, 52));
    const int lit = CountPixels(half, moonArea, [](const QColor &c) { return c.red() > 60 && c.green() > 60; });
    EXPECT_GT(lit, 48 * 48 / 3);
}

TEST_F(ListFixture, ThemeChangeRecoloursTheColumnsAndTheSelection)
{
    list.SetRows({Row(QDate(2026, 3, 6), QString(), false), Row(QDate(2026, 3, 9), QString(), false)});
    auto background = [&](const QImage &image, int row, int column) {
        const QRect cell = list.CellRect(row, column);
        return image.pixelColor(cell.left() + 2, cell.bottom() - 3);
    };
    QImage image = list.grab().toImage();
    EXPECT_EQ(background(image, 0, 0), QColor(78, 77, 73));
    EXPECT_EQ(background(image, 0, 1), QColor(38, 38, 36));
    EXPECT_EQ(background(image, 0, 2), QColor(38, 38, 36));
    EXPECT_EQ(background(image, 0, 3), QColor(78, 77, 73));

    const QColor title(20, 60, 140);
    const QColor control(150, 30, 30);
    list.ApplyTheme(FromQColor(title), RgbColor(10, 10, 10), FromQColor(control));
    image = list.grab().toImage();
    for (int row : {0, 1}) {
        EXPECT_EQ(background(image, row, 0), control);
        EXPECT_EQ(background(image, row, 1), title);
        EXPECT_EQ(background(image, row, 2), title);
        EXPECT_EQ(background(image, row, 3), control);
    }

    // The selection blends the title bar's colour over its row only.
    list.SetCurrentRow(1);
    image = list.grab().toImage();
    const QColor selected = background(image, 1, 0);
    EXPECT_NE(selected, control);
    EXPECT_TRUE(Near(selected, QColor((control.red() * 159 + title.red() * 96) / 255,
                                      (control.green() * 159 + title.green() * 96) / 255,
                                      (control.blue() * 159 + title.blue() * 96) / 255),
                     6))
        << selected.name().toStdString();
    EXPECT_EQ(background(image, 0, 0), control);
    EXPECT_EQ(image.pixelColor(1, 80), title); // the border along its top

    // The tint lies under the row's texts: their lightest pixels are as light
    // chosen as not (a tint over them read as a disabled row).
    auto lightest = [&](const QImage &picture) {
        const QRect cell = list.CellRect(1, 2);
        int most = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                most = std::max(most, qGray(picture.pixel(x, y)));
        return most;
    };
    const int chosen = lightest(image);
    list.SetCurrentRow(0);
    EXPECT_EQ(chosen, lightest(list.grab().toImage()));
}

TEST_F(ListFixture, TooltipOnlyForCutTexts)
{
    TForecastRow shortRow = Row(QDate(2026, 3, 6), QString());
    TForecastRow longRow = Row(QDate(2026, 3, 7), QString());
    longRow.DescriptionText = QStringLiteral("Thunderstorm with heavy drizzle, high wind, near gale\n\nHumidity: 81 %");
    longRow.MoonSunText += QStringLiteral("\nA line too many\nand another");
    list.SetRows({shortRow, longRow});
    EXPECT_TRUE(list.CellToolTip(0, 2).isEmpty());
    EXPECT_TRUE(list.CellToolTip(0, 3).isEmpty());
    EXPECT_TRUE(list.CellToolTip(0, 0).isEmpty());
    EXPECT_EQ(list.CellToolTip(1, 2), longRow.DescriptionText);
    EXPECT_EQ(list.CellToolTip(1, 3), longRow.MoonSunText);
    EXPECT_TRUE(list.CellToolTip(5, 2).isEmpty());
}

// A line wider than its cell ends in "…" and fits; the others stay whole.
TEST(ForecastListTexts, EachLineTooWideIsCutWithAnEllipsis)
{
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 8));
    const int width = 144; // the description column without its margins
    const QString longLine = QStringLiteral("Thunderstorm with heavy drizzle, near gale");
    const QString text = longLine + QStringLiteral("\n\nHumidity: 81 %\n") + longLine;
    const QStringList lines = ElideEachLine(text, metrics, width).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    for (const int cut : {0, 3}) {
        EXPECT_TRUE(lines[cut].endsWith(QChar(0x2026))) << lines[cut].toStdString();
        EXPECT_LE(metrics.horizontalAdvance(lines[cut]), width);
        EXPECT_TRUE(longLine.startsWith(lines[cut].chopped(1))) << lines[cut].toStdString();
    }
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("Humidity: 81 %"));
    EXPECT_EQ(ElideEachLine(QStringLiteral("Moon: 42%"), metrics, width), QStringLiteral("Moon: 42%"));
}

// A description too wide for its line wraps onto the empty line below it
// before anything is cut; lines are cut to the width each line has.
TEST(ForecastListTexts, LinesWrapOntoTheEmptyLineBelowBeforeTheyAreCut)
{
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 8));
    const int width = 144; // the description column without its margins
    const auto everyLine = [width](int) { return width; };
    // Room for "Mond: Zunehmende" but not for the whole phase name.
    const int beside = metrics.horizontalAdvance(QStringLiteral("Mond: Zunehmende")) + 2;
    const QString humidity = QStringLiteral("\n\nHumidity: 81 %");
    const QString gale = QStringLiteral("Thunderstorm with heavy drizzle, high wind, near gale");
    struct {
        const char *name;
        QString text;
        TLineWidth widthOf;
        bool cut;
        QString expected; // empty: only checked for width
    } const cases[] = {
        {"fits", QStringLiteral("Light rain") + humidity, everyLine, false, QStringLiteral("Light rain") + humidity},
        {"wraps onto the empty line", QStringLiteral("Scattered clouds, gentle breeze") + humidity, everyLine, false,
         QStringLiteral("Scattered clouds, gentle\nbreeze\nHumidity: 81 %")},
        {"wrapped and still too long", gale + humidity, everyLine, true, QString()},
        {"no empty line below", QStringLiteral("Humidity: 81 %\n") + gale, everyLine, true, QString()},
        {"one word wider than the line", QStringLiteral("x").repeated(40) + humidity, everyLine, true, QString()},
        {"a narrower line beside a picture", QStringLiteral("Mond: Zunehmende Sichel\n\nBewölkung: 90 %"),
         [beside](int line) { return line < 2 ? beside : 144; }, false,
         QStringLiteral("Mond: Zunehmende\nSichel\nBewölkung: 90 %")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        bool cut = !c.cut;
        const QString fitted = FitLines(c.text, metrics, c.widthOf, &cut);
        EXPECT_EQ(cut, c.cut);
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(fitted, c.expected);
        }
        const QStringList lines = fitted.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.size(), c.text.count(QLatin1Char('\n')) + 1); // every line keeps its place
        for (int i = 0; i < lines.size(); ++i)
            EXPECT_LE(metrics.horizontalAdvance(lines[i]), c.widthOf(i)) << lines[i].toStdString();
    }
}

// Texts of the shipped languages beside the moon's picture leave its place
// free, at the plain and the double density; common descriptions are whole.
TEST_F(ListFixture, TextsLeaveTheMoonsPlaceFreeInEveryShippedLanguage)
{
    struct {
        const char *language;
        const char *moonSun;
        const char *description;
    } const cases[] = {
        {"en", "Moon: Waxing Crescent\n\nSunrise: 06:49:55\nSunset: 16:01:02\n\nCloud Coverage: 90 %",
         "Scattered clouds, gentle breeze\n\nHumidity: 81 %\nWind: 11.18 mph WSW\nPrecipitations: 0.09 in"},
        {"de", "Mond: Zunehmende Sichel\n\nSonnenaufgang: 06:49:55\nSonnenuntergang: 16:01:02\n\nBewölkung: 90 %",
         "Überwiegend bewölkt, leichte Brise\n\nLuftfeuchtigkeit: 81 %\nWind: 4,13 km/h WSW\nNiederschlag: 2,25 mm"},
        {"cs", "Měsíc: Dorůstající srpek\n\nVýchod slunce: 6:49:55\nZápad slunce: 16:01:02\n\nOblačnost: 90 %",
         "Zataženo, mírný vánek\n\nVlhkost: 81 %\nVítr: 4,13 km/h ZJZ\nSrážky: 2,25 mm"},
    };
    for (const auto &c : cases) {
        TForecastRow row = Row(QDate(2026, 3, 6), QString());
        row.MoonTime = 0; // no picture: whatever lands in its place is text
        row.MoonSunText = QString::fromUtf8(c.moonSun);
        row.DescriptionText = QString::fromUtf8(c.description);
        list.SetRows({row});
        EXPECT_TRUE(list.CellToolTip(0, 2).isEmpty()) << c.language;
        const QColor background = list.Colours().Columns[3];
        for (const qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(std::string(c.language) + (ratio > 1 ? " at 2x" : " at 1x"));
            const QImage image = Render(list, ratio);
            const QRect moon = list.MoonRect(0).adjusted(-(TForecastList::kTextToMoon - 1), 0, 0, 0);
            const QRect device(qRound(moon.left() * ratio), qRound(moon.top() * ratio), qRound(moon.width() * ratio),
                               qRound(moon.height() * ratio));
            EXPECT_EQ(CountPixels(image, device, [&](const QColor &p) { return p != background; }), 0);
        }
    }
}

// The pressure and the range share a 64-pixel column: a value a little too wide
// for it is drawn smaller and whole, so it needs no tooltip; only one that
// cannot fit even then gets one.
TEST_F(ListFixture, PressureAndRangeFitTheirColumn)
{
    struct Case {
        const char *pressure;
        const char *range;
        bool fits;
    };
    const Case cases[] = {
        {"1015.0 hPa", "12/3 °C", true},
        {"1 015,0 hPa", "-12/-23 °C", true},
        {"1015.0 hPa", "-112/-123 °F", true},
        {"1015.0 hPa and falling fast", "12/3 °C", false},
        {"1015.0 hPa", "12/3 °C, feels like -4 °C", false},
    };
    for (const Case &c : cases) {
        TForecastRow row = Row(QDate(2026, 3, 6), QString());
        row.PressureText = QString::fromUtf8(c.pressure);
        row.RangeText = QString::fromUtf8(c.range);
        list.SetRows({row});
        EXPECT_EQ(list.CellToolTip(0, 1).isEmpty(), c.fits) << c.pressure << " " << c.range;
    }
}

// The tooltip over any cell of a row is the day's whole detail, after the
// cell's whole text where that was shortened; a row without detail keeps the
// cell's own tooltip.
TEST_F(ListFixture, RowToolTipIsTheDaysDetail)
{
    TForecastRow row = Row(QDate(2026, 3, 6), QString());
    row.DetailText = QStringLiteral("Light snow\n\nLow: -1.5 °C");
    row.RangeText = QStringLiteral("12/3 °C");
    list.SetRows({row});
    EXPECT_EQ(list.RowToolTip(0, 1), row.DetailText);
    EXPECT_EQ(list.RowToolTip(0, 3), row.DetailText);
    row.PressureText = QStringLiteral("1015.0 hPa and falling fast");
    list.SetRows({row});
    EXPECT_EQ(list.RowToolTip(0, 1), list.CellToolTip(0, 1) + QStringLiteral("\n\n") + row.DetailText);
    row.DetailText.clear();
    list.SetRows({row});
    EXPECT_EQ(list.RowToolTip(0, 1), list.CellToolTip(0, 1));
    EXPECT_TRUE(list.RowToolTip(1, 1).isEmpty()); // no such row
}

TEST_F(ListFixture, RowsFromTheMouseAndKeysAndSizeForTheRows)
{
    list.SetRows({Row(QDate(2026, 3, 6), QString()), Row(QDate(2026, 3, 7), QString())});
    EXPECT_EQ(list.sizeHint(), QSize(466, 160));
    EXPECT_EQ(list.RowAt(QPoint(10, 79)), 0);
    EXPECT_EQ(list.RowAt(QPoint(10, 80)), 1);
    EXPECT_EQ(list.RowAt(QPoint(10, 160)), -1);
    EXPECT_EQ(list.ColumnAt(QPoint(300, 90)), 3);
    list.resize(600, 160); // the last column takes the rest
    EXPECT_EQ(list.ColumnWidth(3), 600 - 294);
    EXPECT_EQ(list.MoonRect(0).left(), 600 - 35);

    QTest::mouseClick(&list, Qt::LeftButton, Qt::NoModifier, QPoint(100, 120));
    EXPECT_EQ(list.CurrentRow(), 1);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.CurrentRow(), 0);
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.CurrentRow(), 1);
    list.SetRows({});
    EXPECT_EQ(list.CurrentRow(), -1);
    QTest::keyClick(&list, Qt::Key_Down); // nothing to select, nothing breaks
    EXPECT_EQ(list.CurrentRow(), -1);
}

namespace {

class MenuHost : public QWidget
{
public:
    int menus = 0;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        ++menus;
        event->accept();
    }
};

// The pointer's screen position is taken from where the list was at the
// press: the window moves under it meanwhile.
void SendMouse(QWidget *widget, QEvent::Type type, const QPoint &origin, const QPoint &local,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(origin + local), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST(ForecastListWindow, DraggingTheListMovesTheWindowAndTheMenuReachesTheHost)
{
    MenuHost host;
    host.resize(kWidth, 200);
    auto *list = new TForecastList(&host);
    list->setGeometry(0, 40, kWidth, 160);
    list->SetRows({Row(QDate(2026, 3, 6), QString())});
    host.move(100, 100);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QPoint before = host.pos();
    const QPoint origin = list->mapToGlobal(QPoint(0, 0));
    SendMouse(list, QEvent::MouseButtonPress, origin, QPoint(20, 20), Qt::LeftButton);
    SendMouse(list, QEvent::MouseMove, origin, QPoint(50, 40), Qt::LeftButton);
    SendMouse(list, QEvent::MouseMove, origin, QPoint(60, 45), Qt::LeftButton);
    SendMouse(list, QEvent::MouseButtonRelease, origin, QPoint(60, 45), Qt::NoButton);
    // Offscreen the window follows the pointer by hand.
    EXPECT_EQ(host.pos(), before + QPoint(40, 25));
    EXPECT_EQ(list->CurrentRow(), 0);

    // Nothing connected: the host's menu.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10), list->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(list, &menu);
    EXPECT_EQ(host.menus, 1);
    // Connected: the hook gets it instead.
    QPoint asked;
    QObject::connect(list, &TForecastList::ContextMenuRequested, [&](const QPoint &global) { asked = global; });
    QContextMenuEvent again(QContextMenuEvent::Mouse, QPoint(10, 10), list->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(list, &again);
    EXPECT_EQ(host.menus, 1);
    EXPECT_EQ(asked, list->mapToGlobal(QPoint(10, 10)));
}

namespace {

QVector<TForecastRow> Days(int count)
{
    QVector<TForecastRow> rows;
    for (int day = 0; day < count; ++day)
        rows << Row(QDate(2026, 3, 6).addDays(day), QString());
    return rows;
}

void Wheel(QWidget &widget, int angle)
{
    QWheelEvent event(QPointF(50, 50), QPointF(widget.mapToGlobal(QPoint(50, 50))), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

// Two rows of room for five days: every day can be reached, and the chosen
// one is always the one in view.
TEST_F(ListFixture, RowsThatDoNotFitScrollByKeysWheelAndDragging)
{
    list.SetRows(Days(5));
    const int maxScroll = 3 * TForecastList::kRowHeight;
    ASSERT_EQ(list.MaxScroll(), maxScroll);
    const struct {
        Qt::Key key;
        int row;
        int scroll;
    } keys[] = {
        {Qt::Key_End, 4, maxScroll}, {Qt::Key_Home, 0, 0},   {Qt::Key_PageDown, 2, 80},
        {Qt::Key_Down, 3, 160},      {Qt::Key_Up, 2, 160},    {Qt::Key_Up, 1, 80},
        {Qt::Key_PageUp, 0, 0},      {Qt::Key_Up, 0, 0},
    };
    for (const auto &press : keys) {
        QTest::keyClick(&list, press.key);
        EXPECT_EQ(list.CurrentRow(), press.row) << press.key;
        EXPECT_EQ(list.Scroll(), press.scroll) << press.key;
        EXPECT_TRUE(list.rect().contains(list.CellRect(press.row, 0))) << press.key;
    }

    // A click lands on the row drawn under the pointer.
    list.SetScroll(100);
    QTest::mouseClick(&list, Qt::LeftButton, Qt::NoModifier, QPoint(100, 70));
    EXPECT_EQ(list.CurrentRow(), 2);

    // A wheel notch is a row; the ends hold.
    const struct {
        int angle;
        int scroll;
    } wheels[] = {{-120, 80}, {-120, 160}, {240, 0}, {60, 0}, {-1200, maxScroll}, {-120, maxScroll}};
    list.SetScroll(0);
    for (const auto &turn : wheels) {
        Wheel(list, turn.angle);
        EXPECT_EQ(list.Scroll(), turn.scroll) << turn.angle;
    }

    // Dragging pulls the rows along instead of moving the window.
    list.SetScroll(0);
    const QPoint before = list.pos();
    const QPoint origin = list.mapToGlobal(QPoint(0, 0));
    SendMouse(&list, QEvent::MouseButtonPress, origin, QPoint(100, 150), Qt::LeftButton);
    SendMouse(&list, QEvent::MouseMove, origin, QPoint(100, 100), Qt::LeftButton);
    SendMouse(&list, QEvent::MouseMove, origin, QPoint(102, 60), Qt::LeftButton);
    SendMouse(&list, QEvent::MouseButtonRelease, origin, QPoint(102, 60), Qt::NoButton);
    EXPECT_EQ(list.Scroll(), 90);
    EXPECT_EQ(list.pos(), before);

    // Painted scrolled: the last row's selection border lies in the list's last row of pixels.
    QTest::keyClick(&list, Qt::Key_End);
    list.ApplyTheme(RgbColor(40, 40, 40), RgbColor(0, 0, 160), RgbColor(78, 77, 73));
    const QImage image = Render(list, 1.0);
    EXPECT_EQ(image.pixelColor(10, list.height() - 1), list.Colours().SelectionBorder);
    EXPECT_EQ(image.pixelColor(10, list.height() - TForecastList::kRowHeight), list.Colours().SelectionBorder);

    // Room enough again: nothing to scroll, and new rows start at the top.
    list.resize(kWidth, 5 * TForecastList::kRowHeight);
    EXPECT_EQ(list.Scroll(), 0);
    list.resize(kWidth, 2 * TForecastList::kRowHeight);
    list.SetRows(Days(5));
    EXPECT_EQ(list.Scroll(), 0);
    EXPECT_EQ(list.CurrentRow(), -1);
}

// A screen reader cannot see the painted rows: it is given a list of days,
// each with its four cells' texts, following the selection and the scrolling.
TEST_F(ListFixture, AScreenReaderGetsEachDayAsAListItemWithItsFourCells)
{
    list.SetRows(Days(3));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::List);
    ASSERT_EQ(accessible->childCount(), 3);

    QAccessibleInterface *day = accessible->child(1);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->role(), QAccessible::ListItem);
    EXPECT_EQ(day->parent(), accessible);
    EXPECT_EQ(accessible->indexOfChild(day), 1);
    EXPECT_EQ(accessible->child(1), day); // the same interface each time
    ASSERT_EQ(day->childCount(), 4);
    const QString cells[] = {
        QStringLiteral("Saturday, 7.3.2026, Day 66"),
        QStringLiteral("1012.3 hPa, 12/3 °C"),
        QStringLiteral("Light rain, Humidity: 81 %, Wind: 4.13 m/s WSW, Precipitations: 2.25 mm"),
        QStringLiteral("Moon: 42%, Sunrise: 6:43:12, Sunset: 17:43:48, Cloud Coverage: 90 %"),
    };
    for (int c = 0; c < 4; ++c) {
        QAccessibleInterface *cell = day->child(c);
        ASSERT_NE(cell, nullptr) << c;
        EXPECT_EQ(cell->text(QAccessible::Name), cells[c]) << c;
        EXPECT_EQ(cell->parent(), day) << c;
        EXPECT_EQ(day->indexOfChild(cell), c);
    }
    EXPECT_EQ(day->text(QAccessible::Name), QStringList(std::begin(cells), std::end(cells)).join(QStringLiteral("; ")));

    EXPECT_FALSE(day->state().selected);
    list.SetCurrentRow(1);
    EXPECT_TRUE(day->state().selected);
    EXPECT_FALSE(accessible->child(0)->state().selected);
    // Two rows of room: the third is scrolled out of sight until it is chosen.
    EXPECT_TRUE(accessible->child(2)->state().offscreen);
    list.SetCurrentRow(2);
    EXPECT_FALSE(accessible->child(2)->state().offscreen);

    // Fewer rows later: the items beyond them are gone, not stale.
    list.SetRows(Days(1));
    EXPECT_EQ(accessible->childCount(), 1);
    EXPECT_FALSE(day->isValid());
    EXPECT_EQ(accessible->child(1), nullptr);
}
