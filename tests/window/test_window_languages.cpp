// Every shipped language in the window at 1x, with the fonts the system has:
// each character has a glyph, the panel shows every label whole, and the
// forecast list's cells hold their lines without cutting them or running
// under the moon's picture. Values are the widest the service plausibly sends.
#include "DateTimeConv.h"
#include "ForecastList.h"
#include "ForecastRows.h"
#include "HeaderPanel.h"
#include "HourlyDay.h"
#include "HourlyView.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "PanelTexts.h"
#include "ShippedLanguages.h"
#include "ThemeController.h"
#include "WindowSizing.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QLabel>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace {

constexpr int kDateColumn = 0;
constexpr int kDescriptionColumn = 2;
constexpr int kMoonColumn = 3;
// A place whose days have a sunrise and a sunset.
constexpr double kPragueLat = 50.08;
constexpr double kPragueLon = 14.42;
// Three-digit day numbers, and every weekday as the rows go on.
const QDate kFirstDay(2026, 10, 1);

// The language's texts loaded as the program loads them, with the English
// reference the service's wind names are matched against.
struct TLoadedLanguage {
    TLanguageManager App;
    TLanguageManager Reference;
    QLocale Locale;

    explicit TLoadedLanguage(const QString &code)
        : Locale(LocaleOfLanguage(code))
    {
        App.SetFileNames({QLatin1String(kProgramLangFileName)});
        App.SetLanguageCode(code);
        LoadTexts(App);
        InitReferenceManager(Reference, App);
    }
    ~TLoadedLanguage() { ResetTexts(); }
};

// `font` as a desktop in the language has it: a Japanese or Chinese session's
// sans-serif is a CJK font, whose lines are far taller than its glyphs;
// elsewhere the system's default family stays.
QFont DesktopFont(QFont font, const QString &code)
{
    if (code == QLatin1String("ja"))
        font.setFamily(QStringLiteral("Noto Sans CJK JP"));
    else if (code == QLatin1String("zh"))
        font.setFamily(QStringLiteral("Noto Sans CJK SC"));
    return font;
}

// The English name the service gives a wind strength ("Gentle Breeze").
QString ServiceWindName(int code)
{
    for (const TLangConstDefault &entry : LangConstDefaults())
        if (entry.key == QStringLiteral("wth_%1").arg(code))
            return entry.englishText;
    return {};
}

// The service's codes that have a text, conditions and winds apart.
QVector<int> TextCodes(bool winds)
{
    QVector<int> codes;
    for (int code = kFirstConditionCode; code <= kLastConditionCode; ++code) {
        const bool wind = code >= 951;
        if (wind == winds && !ServiceWindName(code).isEmpty())
            codes << code;
    }
    return codes;
}

TWeatherRecord WidestRecord(int condition, const QString &windName, const QDate &day)
{
    TWeatherRecord r;
    r.City.Name = QStringLiteral("Prague");
    r.City.Country = QStringLiteral("CZ");
    r.City.Lat = kPragueLat;
    r.City.Lon = kPragueLon;
    r.Temp.Value.Value = -22.5;
    r.Temp.Value.Max = -18.4;
    r.Temp.Value.Min = -22.6;
    r.Temp.Value.Units = QStringLiteral("°C");
    r.Temp.HasFeelsLike = true;
    r.Temp.FeelsLike = -28.6;
    r.Humidity.Value = 100;
    r.Humidity.Units = QStringLiteral("%");
    r.Pressure.Value = 1013.25;
    r.Pressure.Units = QStringLiteral("hPa");
    r.Wind.Speed.Value = 12.34;
    r.Wind.Speed.Units = QStringLiteral("m/s");
    r.Wind.Speed.Name = windName;
    r.Wind.Direction.Code = QStringLiteral("WNW");
    r.Clouds.Value = 100;
    r.Precipitation.Value = 12.34;
    r.Weather.Value = condition;
    r.TimeStamp = DateTimeFromQDateTime(QDateTime(day, QTime(12, 0)));
    return r;
}

// Whether the fonts the widget draws with, the system's fallbacks included,
// have a glyph for every character of `text`.
bool HasEveryGlyph(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes())
            if (glyph == 0)
                return false;
    return true;
}

class WindowLanguages : public ::testing::TestWithParam<QString>
{
};

TEST_P(WindowLanguages, EveryCharacterHasAGlyph)
{
    const TLoadedLanguage language(GetParam());
    ASSERT_EQ(language.App.LanguageCode(), GetParam()) << language.App.LastError().toStdString();
    TForecastList list;
    QLabel label;
    const TLangKeyTable &constants = language.App.Constants();
    for (int i = 0; i < constants.Count(); ++i) {
        const QString text = *constants.Find(constants.KeyAt(i));
        EXPECT_TRUE(HasEveryGlyph(text, list.font())) << constants.KeyAt(i).toStdString() << "=" << text.toStdString()
                                                      << ": install the fonts of scripts/install-deps";
        EXPECT_TRUE(HasEveryGlyph(text, label.font())) << constants.KeyAt(i).toStdString();
    }
}

// Of the given codes, the one whose text is the widest in `metrics`.
int WidestCode(const QVector<int> &codes, const QFontMetrics &metrics)
{
    int widest = codes.value(0);
    for (const int code : codes)
        if (metrics.horizontalAdvance(ConditionText(code)) > metrics.horizontalAdvance(ConditionText(widest)))
            widest = code;
    return widest;
}

// Each condition with the widest wind strength after it and the widest
// numbers: every label of the panel stays whole.
TEST_P(WindowLanguages, PanelShowsEveryLabelWhole)
{
    const TLoadedLanguage language(GetParam());
    TThemeController theme;
    THeaderPanel panel(&theme);
    panel.resize(kWindowWidth - 2, kHeaderHeight);
    QLabel *description = panel.Label(QStringLiteral("lDesc"));
    const QString wind = ServiceWindName(WidestCode(TextCodes(true), description->fontMetrics()));
    for (const int condition : TextCodes(false)) {
        const TWeatherRecord record = WidestRecord(condition, wind, kFirstDay);
        panel.ShowTexts(BuildPanelTexts(record, false, language.Locale, language.App, language.Reference));
        for (QLabel *label : panel.Labels())
            EXPECT_EQ(label->text(), panel.FullText(label))
                << condition << " " << label->objectName().toStdString() << ": "
                << label->fontMetrics().horizontalAdvance(panel.FullText(label)) << " > " << label->width();
    }
    panel.SetRefreshing(true);
    EXPECT_EQ(description->text(), lc_Refreshing);
    panel.SetRefreshing(false);
    panel.ShowTexts(FailurePanelTexts(QStringLiteral("Invalid API key")));
    EXPECT_EQ(description->text(), panel.FullText(description));
}

// The width of the English condition text, as a row shows it.
int EnglishConditionWidth(int code, const QFontMetrics &metrics)
{
    QString text = ServiceWindName(code);
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return metrics.horizontalAdvance(text);
}

// One row per condition, each moon phase in turn. Every line of the
// description and moon cells fits its cell, and those beside the moon's
// picture end before it; the condition may be as wide as the English one
// where that does not fit either (the row then shows it whole as a tooltip).
// The wind's strength follows the condition on its line and may be cut
// there, as it is in English. Of the date cell only the day's number comes
// from the language file; the weekday and the date are the locale's.
TEST_P(WindowLanguages, ForecastListCellsHoldTheirLines)
{
    const TLoadedLanguage language(GetParam());
    const QVector<int> conditions = TextCodes(false);
    TWeatherData forecast;
    TMoonDays moonDays;
    for (int i = 0; i < conditions.size(); ++i) {
        forecast << WidestRecord(conditions[i], QString(), kFirstDay.addDays(i));
        TMoonDay day;
        day.Phase = i % kMoonPhaseCount;
        moonDays << day;
    }
    // A day between the phases shows the lit part instead.
    moonDays.back().Phase = -1;
    moonDays.back().Illuminated = 100;

    TForecastList list;
    list.setFont(DesktopFont(list.font(), GetParam()));
    list.SetRows(BuildForecastRows(forecast, QString(), QStringList(), language.Locale, language.App,
                                   language.Reference, TForecastSunTimes(), moonDays));
    ASSERT_EQ(list.RowCount(), conditions.size());
    list.resize(list.sizeHint());
    const QFontMetrics metrics(list.font());
    // As the list steps its lines: the font's spacing, closer where six would not fit.
    const qreal pitch = std::min<qreal>(metrics.lineSpacing(), TForecastList::LinePitch(list.font()));
    for (int row = 0; row < list.RowCount(); ++row) {
        const TForecastRow &r = list.Rows()[row];
        const QStringList dateLines = r.DateText.split(QLatin1Char('\n'));
        const struct {
            int column;
            QStringList lines;
        } cells[] = {
            {kDateColumn, {dateLines.constLast()}},
            {kDescriptionColumn, r.DescriptionText.split(QLatin1Char('\n'))},
            {kMoonColumn, r.MoonSunText.split(QLatin1Char('\n'))},
        };
        const QRect moon = list.MoonRect(row);
        for (const auto &cell : cells) {
            const QRect rect = list.CellRect(row, cell.column);
            const int left = rect.left() + TForecastList::kTextMargin;
            const int room = rect.width() - 2 * TForecastList::kTextMargin;
            EXPECT_LE(cell.lines.size() * pitch, rect.height() - TForecastList::kTextTop) << "column " << cell.column;
            for (int i = 0; i < cell.lines.size(); ++i) {
                const QString &line = cell.lines[i];
                const int top = rect.top() + TForecastList::kTextTop + qFloor(i * pitch);
                const bool besideMoon = cell.column == kMoonColumn && top <= moon.bottom()
                                        && top + metrics.height() > moon.top();
                int allowed = besideMoon ? moon.left() - left : room;
                if (cell.column == kDescriptionColumn && i == 0)
                    allowed = std::max(room, EnglishConditionWidth(conditions[row], metrics));
                EXPECT_LE(metrics.horizontalAdvance(line), allowed)
                    << GetParam().toStdString() << " column " << cell.column << ": " << line.toStdString();
            }
        }
    }

    // And drawn so: the moon cell's last line (the cloud cover) shows in its
    // place, and no line runs past the row (the last one, with room below it).
    list.resize(list.width(), list.height() + TForecastList::kRowHeight / 2);
    const QImage image = list.grab().toImage();
    const int last = list.RowCount() - 1;
    const QRect cell = list.CellRect(last, kMoonColumn);
    auto inked = [&](int from, int to) {
        const QColor background = image.pixelColor(cell.left() + 1, to - 1);
        int count = 0;
        for (int y = from; y < to; ++y)
            for (int x = cell.left(); x < list.MoonRect(last).left(); ++x)
                count += image.pixelColor(x, y) != background && image.pixelColor(x, y) != list.Colours().Grid ? 1 : 0;
        return count;
    };
    EXPECT_GT(inked(cell.top() + qCeil((TForecastList::kRowLines - 1) * pitch), cell.bottom()), 0)
        << GetParam().toStdString();
    EXPECT_EQ(inked(cell.bottom() + 1, image.height()), 0) << GetParam().toStdString();
}

// The hourly view in the window's width: a day of 3-hour slots with the
// widest values each column shows (a long time format, a three-letter wind
// direction, a chance of 100 %), and the detail of a day without hours, hold
// their texts whole.
TEST_P(WindowLanguages, HourlyViewHoldsItsTexts)
{
    const TLoadedLanguage language(GetParam());
    constexpr int kSlots = 8;
    constexpr int kViewWidth = kWindowWidth - 4; // inside the window's border
    TWeatherData hours;
    for (int slot = 0; slot < kSlots; ++slot) {
        TWeatherRecord r = WidestRecord(502, QString(), kFirstDay);
        r.FromTime = DateTimeFromQDateTime(QDateTime(kFirstDay, QTime(slot * 3, 0)));
        r.ToTime = DateTimeFromQDateTime(QDateTime(kFirstDay, QTime(slot * 3, 0)).addSecs(3 * 60 * 60));
        r.Temp.Value.Value = -22.5;
        r.Wind.Speed.Value = 118.8; // a storm, in km/h
        r.Wind.Speed.Units = QStringLiteral("km/h");
        r.Wind.Direction.Code = QStringLiteral("WNW");
        r.Precipitation.Value = 12.34;
        r.Precipitation.Units = QStringLiteral("mm");
        r.PrecipitationChance = 1;
        hours << r;
    }
    const TWeatherRecord day = WidestRecord(502, QString(), kFirstDay);
    THourlyView view;
    view.resize(kViewWidth, view.NeededHeight());
    view.SetDay(0, BuildHourlyDay(day, hours, QString(), language.Locale, language.App, language.Reference));
    ASSERT_EQ(view.HourCount(), kSlots);
    EXPECT_EQ(view.MaxScroll(), 0) << "a day of slots fits the window's width";
    QFont bold = view.font();
    bold.setBold(true);
    for (int hour = 0; hour < kSlots; ++hour) {
        const THourCell &cell = view.Day().Hours[hour];
        const QString texts[] = {cell.TimeText,   cell.TemperatureText, cell.PrecipitationText,
                                 cell.ChanceText, cell.WindText,        cell.WindDirectionText};
        const QVector<QRect> rects = view.TextRects(hour);
        ASSERT_EQ(rects.size(), 6);
        for (int i = 0; i < rects.size(); ++i) {
            const QFontMetrics metrics(i == 1 ? bold : view.font());
            EXPECT_LE(metrics.horizontalAdvance(texts[i]), rects[i].width())
                << GetParam().toStdString() << ": " << texts[i].toStdString();
            EXPECT_LE(metrics.height(), rects[i].height());
            EXPECT_LE(rects[i].bottom(), view.height() - 1);
        }
        EXPECT_LE(view.PictureRect(hour).bottom(), rects[1].top());
    }
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(view.Day().Title), view.TitleRect().width());

    // Without hours: the detail, wrapped where a line is long, within the view.
    view.SetDay(0, BuildHourlyDay(day, {}, QString(), language.Locale, language.App, language.Reference));
    const QRect detail = view.DetailRect();
    const QRect needed = QFontMetrics(view.font()).boundingRect(detail, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                                                 view.Day().DetailText);
    EXPECT_LE(needed.height(), detail.height()) << GetParam().toStdString();
    EXPECT_LE(needed.width(), detail.width()) << GetParam().toStdString();
}

// Every shipped language, named by its code in the test's name.
INSTANTIATE_TEST_SUITE_P(Shipped, WindowLanguages, ::testing::ValuesIn(ShippedLanguageCodes()),
                         [](const ::testing::TestParamInfo<QString> &language) {
                             return language.param.toStdString();
                         });

} // namespace
