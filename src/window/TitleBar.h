// The title strip: the date with the day's names and a running clock on the
// left and right, and the four buttons (refresh, theme, roll, settings).
#pragma once

#include "OmniBar.h"

#include <QColor>
#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTimer>

class QLabel;
class TImageList;

class TTitleBar : public TOmniBar
{
    Q_OBJECT

public:
    static constexpr int kButtonWidth = 25;
    static constexpr int kButtonCount = 4;
    static constexpr int kDateLeft = 3;
    static constexpr int kTimeRightMargin = 10;
    // Each tick lands just after the second turns, so the clock never lags a second.
    static constexpr int kTickSlackMs = 15;
    // The title and its buttons paint the theme's colour darkened by this.
    static constexpr int kColorLuminosity = -100;

    TTitleBar(TThemeController *theme, QWidget *parent = nullptr);

    QLabel *DateLabel() const { return FDateLabel; }
    QLabel *TimeLabel() const { return FTimeLabel; }
    TOmniBar *PrefsButton() const { return FPrefsButton; }
    TOmniBar *ThemeButton() const { return FThemeButton; }
    TOmniBar *RefreshButton() const { return FRefreshButton; }
    TOmniBar *RollButton() const { return FRollButton; }

    // The clock's locale; SetDateLocale gives the date its own (the program's
    // language), else the date follows this one.
    void SetLocale(const QLocale &locale);
    void SetDateLocale(const QLocale &locale);
    void SetDayNames(const QStringList &lines);
    void SetThemeMenu(QMenu *menu);
    // The roll button's picture: unroll while rolled up, roll up otherwise.
    void SetRolledUp(bool rolledUp);
    // Accessible names follow the hints, which a language file may change.
    void SyncAccessibleNames();

    // Shows the clock for this moment; the timer calls it every second.
    void ShowClock(const QDateTime &now);
    // Stopped, the clock costs nothing; started, it shows the time at once.
    void SetClockRunning(bool running);
    bool ClockRunning() const { return FClock.isActive(); }

    // The bar's new colours, and the clock's and the buttons' pictures' colours
    // made readable on them.
    void UpdateTheme() override;

signals:
    void RefreshClicked();
    void RollClicked();
    void PrefsClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    TOmniBar *MakeButton(const QString &name, const QString &hint, int glyph);
    void ColourTexts();
    void Tick();
    void ScheduleTick();
    void PlaceChildren();
    int ClockWidth() const;

    TImageList *FGlyphs;
    QColor FGlyphColour; // of the pictures in FGlyphs
    QLabel *FDateLabel;
    QLabel *FTimeLabel;
    TOmniBar *FRefreshButton;
    TOmniBar *FThemeButton;
    TOmniBar *FRollButton;
    TOmniBar *FPrefsButton;
    QTimer FClock;
    QLocale FLocale;
    QLocale FDateLocale;
    QStringList FDayNames;
    QString FDateText; // whole, before it is shortened to fit
    QDate FDateShown;  // the day FDateText is for; null after a language change
};
