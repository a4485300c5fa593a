#include "OmniBar.h"
#include "ThemeController.h"
#include "ThemeManager.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString PixelName(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y).name(QColor::HexRgb).toUpper();
}

QString PixelName(QWidget &widget, int x, int y)
{
    return PixelName(widget.grab().toImage(), x, y);
}

// A bar on a shown top-level window, themed by a graphite manager of its own.
class OmniBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Manager.SetThemePreset(tpGraphite);
        Window.resize(300, 120);
        Bar = new TOmniBar(&Window);
        Bar->setGeometry(10, 10, 100, 30);
        Bar->SetThemeController(&Controller);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    void Hover(QWidget *target, QPoint pos)
    {
        QTest::mouseMove(target, pos);
        QApplication::processEvents();
    }

    TThemeManager Manager;
    TThemeController Controller{nullptr, &Manager};
    QWidget Window;
    TOmniBar *Bar = nullptr;
};

TEST_F(OmniBarTest, PaintsTheThemeColourOrItsOwnLuminosityOfIt)
{
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#4E4D49");
    EXPECT_EQ(PixelName(*Bar, 0, 15), "#1A1A17"); // border in the theme's border colour

    Bar->ControlLook().ColorLuminosity().SetLuminosity(-100, false, true);
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#343330");
    EXPECT_EQ(ColorName(Bar->PaintedLookSet().Color), "#343330");
    // The rest of the theme stays as it is.
    EXPECT_EQ(ColorName(Bar->PaintedLookSet().HotColor), "#E6E6E3");
}

TEST_F(OmniBarTest, FollowsThemeChanges)
{
    Manager.SetThemePreset(tpExcel);
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#217346");
    EXPECT_EQ(ColorName(Bar->Color()), "#217346");
    Bar->SetThemeController(nullptr); // back to its own look
    EXPECT_EQ(Controller.ConnectedControlCount(), 0);
    EXPECT_EQ(ColorName(Bar->PaintedLookSet().HotColor), "#FFFBF0");
}

TEST_F(OmniBarTest, BorderEdgesFollowTheState)
{
    Bar->SetBorderEdges(beBottom);
    QImage image = Bar->grab().toImage();
    EXPECT_EQ(PixelName(image, 0, 15), "#4E4D49");  // no left edge
    EXPECT_EQ(PixelName(image, 50, 29), "#1A1A17"); // bottom edge
    Bar->SetBorder(false);
    EXPECT_EQ(PixelName(*Bar, 50, 29), "#4E4D49");
    Bar->SetBorder(true);
    Bar->SetSelectedBorderEdges(beTop);
    Bar->SetSelected(true);
    image = Bar->grab().toImage();
    EXPECT_EQ(PixelName(image, 50, 0), "#ADADAD");  // selected border colour
    EXPECT_EQ(PixelName(image, 50, 29), "#B4B3AF"); // selected background, no bottom edge
}

TEST_F(OmniBarTest, HotTrackingRepaintsInHotColourAndBack)
{
    Bar->SetHotTrack(true);
    Hover(&Window, QPoint(200, 100));
    EXPECT_FALSE(Bar->Hot());
    Hover(Bar, QPoint(50, 15));
    EXPECT_TRUE(Bar->Hot());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#E6E6E3");
    Hover(&Window, QPoint(200, 100));
    EXPECT_FALSE(Bar->Hot());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#4E4D49");

    Bar->SetHotTrack(false); // hover alone does not change the look
    Hover(Bar, QPoint(50, 15));
    EXPECT_TRUE(Bar->Hot());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#4E4D49");
}

TEST_F(OmniBarTest, OneClickPerPressAndReleaseOverTheBar)
{
    Bar->SetButtonMode(true);
    QSignalSpy clicks(Bar, &TOmniBar::OnClick);

    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_TRUE(Bar->Selected());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#B4B3AF"); // pressed look
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(Bar->Selected());

    // Released outside: the press look ends, but there is no click.
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(Bar, QPoint(150, 60));
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(Bar->Selected());

    // A release without a press on the bar is no click either.
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OmniBarTest, AutoRepeatClicksWhileHeld)
{
    Bar->SetAutoRepeat(true);
    QSignalSpy clicks(Bar, &TOmniBar::OnClick);
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    QTRY_VERIFY_WITH_TIMEOUT(Bar->Pressed(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(clicks.count() >= 2, 3000);
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    const int afterRelease = clicks.count();
    EXPECT_FALSE(Bar->Pressed());
    QTest::qWait(3 * TOmniBar::kRepeatInterval);
    EXPECT_EQ(clicks.count(), afterRelease); // the timer stopped with the release
}

TEST_F(OmniBarTest, ThemeButtonDropsItsMenuBelowAndKeepsThePressedLookUntilItCloses)
{
    QMenu menu;
    Controller.SetPopupMenu(&menu);
    Bar->SetButtonMode(true);
    Bar->SetDropDownMenu(&menu);
    QSignalSpy clicks(Bar, &TOmniBar::OnClick);

    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), Bar->mapToGlobal(QPoint(0, Bar->height())));
    EXPECT_TRUE(Bar->Selected());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#B4B3AF");

    // Choosing an item closes the menu, switches the theme and ends the pressed look.
    QAction *excel = menu.actions().at(1);
    menu.setActiveAction(excel);
    QTest::keyClick(&menu, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!menu.isVisible(), 2000);
    EXPECT_EQ(Manager.ThemePreset(), tpExcel);
    EXPECT_FALSE(Bar->Selected());
    EXPECT_EQ(PixelName(*Bar, 50, 15), "#217346");
    EXPECT_EQ(clicks.count(), 0);

    // Closing it without a choice ends the pressed look as well.
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    ASSERT_TRUE(menu.isVisible());
    menu.close();
    EXPECT_FALSE(Bar->Selected());
}

TEST_F(OmniBarTest, DisabledButtonShowsItsImageInGreys)
{
    TImageList images(QSize(8, 8));
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(QColor(200, 30, 30));
    images.Add(red);
    Bar->SetImages(&images);
    Bar->SetImageIndex(0);
    Bar->SetIndents(5, 5, 5);
    // Within a 1-pixel border and 5-pixel indents, centred in the row of the picture.
    const QPoint inImage(1 + 5 + 4, 1 + 5 + 4);

    EXPECT_EQ(PixelName(*Bar, inImage.x(), inImage.y()), "#C81E1E");
    Bar->setEnabled(false);
    const QImage image = Bar->grab().toImage();
    const QColor grey = image.pixelColor(inImage);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    EXPECT_EQ(grey.red(), 81); // 200 * .299 + 30 * .587 + 30 * .114, rounded
    EXPECT_EQ(PixelName(image, 80, 15), "#4E4D49"); // disabled background of the theme

    Bar->DisabledBitmapFactors().Enabled = false;
    EXPECT_EQ(PixelName(*Bar, inImage.x(), inImage.y()), "#808080");

    // A disabled bar takes no clicks.
    QSignalSpy clicks(Bar, &TOmniBar::OnClick);
    QTest::mouseClick(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(OmniBarTest, SelectingInAGroupUnselectsTheOthersOfTheSameParent)
{
    auto *second = new TOmniBar(&Window);
    auto *third = new TOmniBar(&Window);
    auto *otherGroup = new TOmniBar(&Window);
    Bar->SetGroupIndex(1);
    second->SetGroupIndex(1);
    third->SetGroupIndex(1);
    otherGroup->SetGroupIndex(2);
    otherGroup->SetSelected(true);
    Bar->SetSelected(true);
    second->SetSelected(true);
    EXPECT_FALSE(Bar->Selected());
    EXPECT_TRUE(second->Selected());
    EXPECT_FALSE(third->Selected());
    EXPECT_TRUE(otherGroup->Selected());

    // Outside a group nothing else changes.
    auto *loose = new TOmniBar(&Window);
    loose->SetSelected(true);
    EXPECT_TRUE(second->Selected());
}

TEST_F(OmniBarTest, DraggingWithMoveModeMovesTheWindow)
{
    // The offscreen platform has no system move, so the fallback path follows the pointer.
    Bar->SetMoveMode(mmForm);
    QSignalSpy clicks(Bar, &TOmniBar::OnClick);
    const QPoint before = Window.pos();
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(Bar, QPoint(70, 25));
    QApplication::processEvents();
    EXPECT_EQ(Window.pos(), before + QPoint(20, 10));
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(70, 25));
    EXPECT_EQ(clicks.count(), 0); // a drag is not a click

    Bar->SetMoveMode(mmSelf);
    const QPoint barBefore = Bar->pos();
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(Bar, QPoint(55, 18));
    QApplication::processEvents();
    EXPECT_EQ(Bar->pos(), barBefore + QPoint(5, 3));
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(50, 15));
}

TEST_F(OmniBarTest, CaptionModesShortenOrWrapTheText)
{
    Bar->SetBorder(false);
    Bar->resize(100, 60);
    Bar->ControlLook().SetFont(lfCaption, QFont(Bar->font().family(), 9));
    const QString longText = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta");

    auto textRows = [&] {
        // Rows of the bar that hold caption (white) pixels.
        const QImage image = Bar->grab().toImage();
        int rows = 0;
        int lastColumn = -1;
        for (int y = 0; y < image.height(); ++y) {
            bool any = false;
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() > 200) {
                    any = true;
                    lastColumn = std::max(lastColumn, x);
                }
            rows += any ? 1 : 0;
        }
        return std::make_pair(rows, lastColumn);
    };

    Bar->SetCaption(longText);
    Bar->SetWordWrapMode(wwmNone);
    const auto single = textRows();
    Bar->SetWordWrapMode(wwmBreak);
    const auto wrapped = textRows();
    EXPECT_GT(wrapped.first, single.first); // several lines
    Bar->SetWordWrapMode(wwmEndEllipsis);
    const auto ended = textRows();
    EXPECT_LE(ended.second, 100 - TOmniBar::kDefaultIndent); // stays inside the right indent
    EXPECT_LT(ended.first, wrapped.first);
}

TEST(OmniBarCaption, AcceleratorMarkIsHiddenUnlessTurnedOff)
{
    QWidget window;
    window.resize(220, 40);
    auto *withMark = new TOmniBar(&window);
    auto *plain = new TOmniBar(&window);
    for (TOmniBar *bar : {withMark, plain}) {
        bar->SetBorder(false);
        bar->SetColor(ColorFromHex(0xFFFFFF));
        bar->ControlLook().Set(&TLookSet::CaptionFontColor, ColorFromHex(0x000000));
        bar->SetCaption(QStringLiteral("&&&&&&&&"));
        bar->resize(200, 30);
    }
    plain->SetShowAccelChar(false);
    window.show();
    auto inkWidth = [](TOmniBar *bar) {
        const QImage image = bar->grab().toImage();
        int right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() < 128)
                    right = std::max(right, x);
        return right;
    };
    // "&&" draws one ampersand as accelerator text, two as plain text.
    EXPECT_GT(inkWidth(plain), inkWidth(withMark));
}

TEST(OmniBarLook, OwnLuminositiesShiftThePaintedSet)
{
    TOmniBar bar;
    TLookSet own;
    own.SetDefault();
    own.Color = ColorFromHex(0x4E4D49);
    own.DisabledFontColor = ColorFromHex(0x4E4D49);
    bar.ControlLook().SetLookSet(own);
    bar.ControlLook().ColorLuminosity().SetLuminosity(-100, false, true);
    bar.ControlLook().BorderLuminosity().SetLuminosity(-200, false, true);
    const TLookSet painted = bar.PaintedLookSet();
    EXPECT_EQ(ColorName(painted.Color), "#343330");
    EXPECT_EQ(ColorName(painted.BorderColor), ColorName(ColorAdjustLuma(ColorFromHex(0xA0A0A4), -200, false)));
    // Disabled text is lifted by half the colour step, scaled.
    EXPECT_EQ(ColorName(painted.DisabledFontColor), ColorName(ColorAdjustLuma(ColorFromHex(0x4E4D49), 50, true)));
    // The look itself is untouched.
    EXPECT_EQ(ColorName(bar.ControlLook().LookSet().Color), "#4E4D49");
}

TEST(OmniBarLook, ResetWidthMakesRoomForCaptionAndImage)
{
    TOmniBar bar;
    TImageList images(QSize(16, 16));
    images.Add(QImage());
    bar.SetCaption(QStringLiteral("Refresh"));
    bar.ResetWidth();
    const int captionOnly = bar.width();
    EXPECT_GT(captionOnly, 2 * TOmniBar::kDefaultIndent);
    bar.SetImages(&images);
    bar.SetImageIndex(0);
    bar.ResetWidth();
    EXPECT_EQ(bar.width(), captionOnly + 16 + TOmniBar::kImageGap);
}

TEST(OmniBarLook, ForgetsAnImageListOrMenuThatGoesAway)
{
    TOmniBar bar;
    {
        TImageList images(QSize(8, 8));
        images.Add(QImage());
        bar.SetImages(&images);
        bar.SetImageIndex(0);
        QMenu menu;
        bar.SetDropDownMenu(&menu);
    }
    EXPECT_EQ(bar.Images(), nullptr);
    EXPECT_EQ(bar.DropDownMenu(), nullptr);
    bar.grab(); // paints without them
    {
        TThemeManager manager;
        auto controller = std::make_unique<TThemeController>(nullptr, &manager);
        bar.SetThemeController(controller.get());
    }
    EXPECT_EQ(bar.ThemeController(), nullptr);
}

} // namespace
