#include "TitleBar.h"

#include "BarTextColours.h"
#include "ButtonAccessible.h"
#include "ClockLine.h"
#include "ImageList.h"
#include "TitleGlyphs.h"
#include "WindowLook.h"

#include <QDateTime>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

TTitleBar::TTitleBar(TThemeController *theme, QWidget *parent)
    : TOmniBar(parent)
    , FGlyphs(new TImageList(QSize(kTitleGlyphSize, kTitleGlyphSize), this))
    , FDateLabel(new QLabel(this))
    , FTimeLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("Title"));
    InstallButtonAccessibility();
    SetMoveMode(mmForm);
    SetThemeController(theme);
    ControlLook().ColorLuminosity().SetLuminosity(kColorLuminosity, false, true);

    FDateLabel->setObjectName(QStringLiteral("lDate"));
    FTimeLabel->setObjectName(QStringLiteral("lTime"));
    WindowLook::StyleLabel(*FDateLabel, WindowLook::kCream, WindowLook::kLabelPoints, true);
    WindowLook::StyleLabel(*FTimeLabel, WindowLook::kCream, WindowLook::kLabelPoints, true);
    ColourTexts();
    FTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Left to right after the clock.
    FRefreshButton = MakeButton(QStringLiteral("gbRefresh"), QStringLiteral("Refresh"), tgRefresh);
    FThemeButton = MakeButton(QStringLiteral("gbTheme"), QStringLiteral("Theme"), tgTheme);
    FRollButton = MakeButton(QStringLiteral("gbRoll"), QStringLiteral("Roll up/down"), tgRollUp);
    FPrefsButton = MakeButton(QStringLiteral("gbPrefs"), QStringLiteral("Settings"), tgSettings);
    connect(FRefreshButton, &TOmniBar::OnClick, this, &TTitleBar::RefreshClicked);
    connect(FRollButton, &TOmniBar::OnClick, this, &TTitleBar::RollClicked);
    connect(FPrefsButton, &TOmniBar::OnClick, this, &TTitleBar::PrefsClicked);

    FClock.setSingleShot(true);
    FClock.setTimerType(Qt::PreciseTimer);
    connect(&FClock, &QTimer::timeout, this, &TTitleBar::Tick);
    Tick();
}

TOmniBar *TTitleBar::MakeButton(const QString &name, const QString &hint, int glyph)
{
    auto *button = new TOmniBar(this);
    button->setObjectName(name);
    button->SetThemeController(ThemeController());
    button->ControlLook().ColorLuminosity().SetLuminosity(kColorLuminosity, false, true);
    button->SetButtonMode(true);
    button->SetHotTrack(true);
    button->SetImages(FGlyphs);
    button->SetImageIndex(glyph);
    button->setCursor(Qt::PointingHandCursor);
    // Reached by Tab, not taken by a click: the list keeps the keys it had.
    button->setFocusPolicy(Qt::TabFocus);
    button->SetShowFocusRect(true);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

// The setters show the new text at once but leave a stopped clock stopped:
// a language chosen while the window is hidden must not wake it every second.
void TTitleBar::UpdateTheme()
{
    TOmniBar::UpdateTheme();
    ColourTexts();
}

void TTitleBar::ColourTexts()
{
    const QColor colour = ReadableOnBar(WindowLook::kCream, *this);
    // The buttons share the bar's colour, so their pictures take the clock's.
    if (FGlyphs->Count() == 0 || FGlyphColour != colour) {
        FGlyphs->Clear();
        AddTitleGlyphs(*FGlyphs, colour);
        FGlyphColour = colour;
    }
    ColourLabelOnBar(*FDateLabel, WindowLook::kCream, *this);
    ColourLabelOnBar(*FTimeLabel, WindowLook::kCream, *this);
}

void TTitleBar::SetLocale(const QLocale &locale)
{
    FLocale = locale;
    FDateLocale = locale;
    FDateShown = QDate();
    ShowClock(QDateTime::currentDateTime());
}

void TTitleBar::SetDateLocale(const QLocale &locale)
{
    FDateLocale = locale;
    FDateShown = QDate();
    ShowClock(QDateTime::currentDateTime());
}

void TTitleBar::SetDayNames(const QStringList &lines)
{
    FDayNames = lines;
    FDateShown = QDate();
    ShowClock(QDateTime::currentDateTime());
}

void TTitleBar::SetThemeMenu(QMenu *menu)
{
    FThemeButton->SetDropDownMenu(menu);
}

void TTitleBar::SetRolledUp(bool rolledUp)
{
    FRollButton->SetImageIndex(rolledUp ? tgRollDown : tgRollUp);
}

void TTitleBar::SyncAccessibleNames()
{
    for (TOmniBar *button : {FRefreshButton, FThemeButton, FRollButton, FPrefsButton})
        button->setAccessibleName(button->toolTip());
}

void TTitleBar::ShowClock(const QDateTime &now)
{
    // A tick is the only work of an idle window: it touches the date and the
    // layout once a day, and repaints no more than the clock's own text.
    const bool newDay = now.date() != FDateShown;
    if (newDay) {
        FDateShown = now.date();
        FDateText = ClockDateText(now.date(), FDateLocale, FDayNames);
    }
    const QString time = ClockTimeText(now.time(), FLocale);
    if (time != FTimeLabel->text())
        FTimeLabel->setText(time);
    if (newDay || FTimeLabel->sizeHint().width() > FTimeLabel->width())
        PlaceChildren();
}

void TTitleBar::SetClockRunning(bool running)
{
    if (running)
        Tick();
    else
        FClock.stop();
}

void TTitleBar::Tick()
{
    ShowClock(QDateTime::currentDateTime());
    ScheduleTick();
}

void TTitleBar::ScheduleTick()
{
    const int intoSecond = QTime::currentTime().msec();
    FClock.start(1000 - intoSecond + kTickSlackMs);
}

void TTitleBar::resizeEvent(QResizeEvent *event)
{
    TOmniBar::resizeEvent(event);
    PlaceChildren();
}

void TTitleBar::PlaceChildren()
{
    const int h = height();
    int x = width() - kButtonCount * kButtonWidth;
    for (TOmniBar *button : {FRefreshButton, FThemeButton, FRollButton, FPrefsButton}) {
        button->setGeometry(x, 0, kButtonWidth, h);
        x += kButtonWidth;
    }
    const int buttonsLeft = width() - kButtonCount * kButtonWidth;
    const int timeWidth = ClockWidth();
    const int timeRight = buttonsLeft - kTimeRightMargin;
    const int labelHeight = std::max(FDateLabel->sizeHint().height(), FTimeLabel->sizeHint().height());
    const int top = std::max(0, (h - labelHeight) / 2);
    // A fixed size: a new text then repaints the label alone, with no layout pass.
    FTimeLabel->setFixedSize(timeWidth, labelHeight);
    FTimeLabel->move(timeRight - timeWidth, top);
    // The date gives way to the clock when both do not fit; its hint keeps it whole.
    const int room = std::max(0, timeRight - timeWidth - kDateLeft);
    const QString shown = FDateLabel->fontMetrics().elidedText(FDateText, Qt::ElideRight, room);
    if (FDateLabel->text() != shown)
        FDateLabel->setText(shown);
    FDateLabel->setToolTip(shown == FDateText ? QString() : FDateText);
    FDateLabel->setGeometry(kDateLeft, top, std::min(room, FDateLabel->sizeHint().width()), labelHeight);
}

int TTitleBar::ClockWidth() const
{
    // Room for the widest digits, so the clock keeps its place and size while
    // the seconds run; only a longer text (the afternoon's marker) moves it.
    const QFontMetrics metrics = FTimeLabel->fontMetrics();
    QChar widest = QLatin1Char('0');
    for (char digit = '0'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    }
    const QString text = FTimeLabel->text();
    QString roomy = text;
    for (QChar &c : roomy) {
        if (c.isDigit())
            c = widest;
    }
    const int extra = metrics.horizontalAdvance(roomy) - metrics.horizontalAdvance(text);
    return FTimeLabel->sizeHint().width() + std::max(0, extra);
}
