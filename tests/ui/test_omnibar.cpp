#include "DisabledBitmap.h"
#include "GradientFill.h"
#include "OmniBar.h"
#include "ThemeController.h"
#include "ThemeManager.h"
#include "WaitFor.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPainter>
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
    EXPECT_EQ(ColorName(Bar->PaintedLookSet().Color), "#217346");
    Bar->SetThemeController(nullptr); // back to its own look
    EXPECT_EQ(Controller.ConnectedControlCount(), 0);
    EXPECT_EQ(ColorName(Bar->PaintedLookSet().HotColor), "#FFFBF0");
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
    ASSERT_TRUE(Eventually([&] { return !menu.isVisible(); }, 2000));
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

// The menu takes the pointer while it is open, so the bar hears of no leave:
// it looks hot after the menu closes only with the pointer back over it.
TEST_F(OmniBarTest, ADropDownButtonLooksNormalAfterItsMenuClosesUnlessThePointerIsOverIt)
{
    QMenu menu;
    Controller.SetPopupMenu(&menu);
    Bar->SetButtonMode(true);
    Bar->SetHotTrack(true);
    Bar->SetDropDownMenu(&menu);
    const struct {
        const char *name;
        bool pointerOverBar;
    } cases[] = {{"pointer on the menu", false}, {"pointer back on the bar", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // The pointer comes over the bar.
        const QPoint over(50, 15);
        QEnterEvent enter(over, Bar->mapTo(&Window, over), Bar->mapToGlobal(over));
        QApplication::sendEvent(Bar, &enter);
        ASSERT_TRUE(Bar->Hot());
        QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
        ASSERT_TRUE(menu.isVisible());
        QCursor::setPos(c.pointerOverBar ? Bar->mapToGlobal(QPoint(50, 15))
                                         : menu.mapToGlobal(menu.actionGeometry(menu.actions().at(2)).center()));
        menu.setActiveAction(menu.actions().at(2));
        QTest::keyClick(&menu, Qt::Key_Return);
        ASSERT_TRUE(Eventually([&] { return !menu.isVisible(); }, 2000));
        EXPECT_EQ(Bar->Hot(), c.pointerOverBar);
        EXPECT_FALSE(Bar->Selected());
    }
}

TEST(ImageListTest, PicturesAreFittedInDeviceIndependentPixels)
{
    TImageList images(QSize(8, 8));
    QImage dense(16, 16, QImage::Format_ARGB32);
    dense.fill(Qt::red);
    dense.setDevicePixelRatio(2.0);
    QImage large(24, 24, QImage::Format_ARGB32);
    large.fill(Qt::red);
    images.Add(dense);
    images.Add(large);
    EXPECT_EQ(images.Image(0).size(), QSize(16, 16)); // kept sharp for a dense screen
    EXPECT_EQ(images.Image(0).deviceIndependentSize().toSize(), QSize(8, 8));
    EXPECT_EQ(images.Image(1).size(), QSize(8, 8));
    // Greyed for a disabled button, the dense picture covers the same place.
    const QImage greyed = GreyedImage(images.Image(0), ColorFromHex(0xFFFFFF), TDisabledBitmapFactors());
    EXPECT_EQ(greyed.deviceIndependentSize().toSize(), QSize(8, 8));
    EXPECT_EQ(greyed.pixelColor(15, 15), greyed.pixelColor(0, 0)); // painted to its last pixel
}

TEST_F(OmniBarTest, DisabledButtonShowsItsImageInGreys)
{
    TImageList images(QSize(8, 8));
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(QColor(200, 30, 30));
    images.Add(red);
    Bar->SetImages(&images);
    Bar->SetImageIndex(0);
    // The picture sits in the middle of the 100 x 30 bar.
    const QPoint inImage(50, 15);

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

    // A button pressed with a shaking hand is still clicked, and stays put.
    Bar->SetButtonMode(true);
    const QPoint moved = Window.pos();
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(Bar, QPoint(52, 15));
    EXPECT_TRUE(Bar->Selected());
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(52, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(Window.pos(), moved);

    // Dragged, it ends its pressed look when the move starts.
    QTest::mousePress(Bar, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_TRUE(Bar->Selected());
    QTest::mouseMove(Bar, QPoint(70, 15));
    EXPECT_FALSE(Bar->Selected());
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(70, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OmniBarTest, DraggingAWatchedLabelMovesTheWindow)
{
    auto *label = new QLabel(QStringLiteral("Rain"), &Window);
    label->setGeometry(10, 60, 80, 20);
    label->show();
    TWindowDragFilter drag;
    drag.Watch(label);
    const QPoint before = Window.pos();
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Window.pos(), before); // a press alone moves nothing
    QTest::mouseMove(label, QPoint(25, 12));
    QApplication::processEvents();
    EXPECT_EQ(Window.pos(), before + QPoint(20, 7));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(25, 12));
    QTest::mouseMove(label, QPoint(40, 12)); // released: no more following
    QApplication::processEvents();
    EXPECT_EQ(Window.pos(), before + QPoint(20, 7));
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

TEST(OmniBarLook, StartsWithTheFontOfItsForm)
{
    QWidget form;
    QFont formFont(form.font().family());
    formFont.setPointSize(13);
    form.setFont(formFont);
    TOmniBar bar(&form);
    for (TLookFontIndex index : {lfCaption, lfDisabled, lfSelected, lfHot, lfTab})
        EXPECT_EQ(bar.ControlLook().Font(index).pointSize(), 13) << index;
    EXPECT_TRUE(bar.ControlLook().Font(lfSymbol).bold()); // the symbol font keeps its own
    EXPECT_TRUE(bar.ControlLook().DefaultSet());
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

struct GradientCase
{
    const char *Name;
    bool Enabled;
    std::uint16_t Count;
    TGradientDirection Direction;
    unsigned Color, End;
    // Expected grey level of rows (or columns) 0..9.
    int Levels[10];
};

TEST(GradientFill, BandsStepFromOneColourToTheOther)
{
    const GradientCase cases[] = {
        {"off", false, 255, gdTopToBottom, 0x000000, 0xFFFFFF, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"one colour", true, 1, gdTopToBottom, 0x000000, 0xFFFFFF, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"same ends", true, 255, gdTopToBottom, 0x808080, 0x808080, {128, 128, 128, 128, 128, 128, 128, 128, 128, 128}},
        {"a band per row", true, 255, gdTopToBottom, 0x000000, 0xFFFFFF, {0, 25, 51, 76, 102, 127, 153, 178, 204, 229}},
        {"reversed", true, 255, gdBottomToTop, 0x000000, 0xFFFFFF, {255, 230, 204, 179, 153, 128, 102, 77, 51, 26}},
        {"three bands", true, 3, gdTopToBottom, 0x000000, 0xFFFFFF, {0, 0, 0, 85, 85, 85, 85, 170, 170, 170}},
        {"two bands at least", true, 2, gdLeftToRight, 0x000000, 0xFFFFFF, {0, 0, 0, 0, 0, 127, 127, 127, 127, 127}},
        {"right to left", true, 2, gdRightToLeft, 0x000000, 0xFFFFFF, {255, 255, 255, 255, 255, 128, 128, 128, 128, 128}},
    };
    for (const GradientCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TControlLook look;
        TGradientLook &gradient = look.ColorGradient();
        gradient.SetEnabled(c.Enabled);
        gradient.SetColorCount(c.Count);
        gradient.SetDirection(c.Direction);
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter painter(&image);
            FillGradient(painter, image.rect(), ColorFromHex(c.Color), ColorFromHex(c.End), gradient);
        }
        const bool vertical = c.Direction == gdTopToBottom || c.Direction == gdBottomToTop;
        for (int i = 0; i < 10; ++i) {
            const QColor pixel = vertical ? image.pixelColor(5, i) : image.pixelColor(i, 5);
            EXPECT_EQ(pixel.red(), c.Levels[i]) << "at " << i;
            EXPECT_EQ(pixel.green(), pixel.blue());
        }
    }
}

TEST(GradientFill, ZeroColourCountIsStoredAsOne)
{
    TControlLook look;
    look.ColorGradient().SetColorCount(0);
    EXPECT_EQ(look.ColorGradient().ColorCount(), 1);
}

} // namespace
