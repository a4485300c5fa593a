#include "FakeDisplays.h"
#include "LMFlatForm.h"
#include "LMForm.h"
#include "OmniBar.h"
#include "LayoutManagerINIStorage.h"
#include "ThemeManager.h"
#include "WaitFor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Form classes of their own, as the sections are named after the class.
class TMainTestForm : public TLMFlatForm
{
    Q_OBJECT

public:
    explicit TMainTestForm(QSize size = QSize(300, 200)) : TLMFlatForm(nullptr, size) {}
    ~TMainTestForm() override { SaveLayoutBeforeDestroy(); }
};

class TSecondTestForm : public TLMForm
{
    Q_OBJECT

public:
    TSecondTestForm() : TLMForm(nullptr, QSize(200, 100)) {}
    ~TSecondTestForm() override { SaveLayoutBeforeDestroy(); }
};

// A form class that neither calls SaveLayoutBeforeDestroy() nor passes its close
// event on, as a form written in a hurry would.
class TForgetfulTestForm : public TLMForm
{
    Q_OBJECT

public:
    TForgetfulTestForm() : TLMForm(nullptr, QSize(200, 100)) {}

protected:
    void closeEvent(QCloseEvent *event) override { event->accept(); }
};

namespace {

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QString PixelName(QWidget &widget, int x, int y)
{
    return widget.grab().toImage().pixelColor(x, y).name(QColor::HexRgb).toUpper();
}

class FlatFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        IniPath = Dir.filePath(QStringLiteral("nimbrel.ini"));
        TLMForm::SetMainForm(nullptr);
    }

    void TearDown() override { TLMForm::SetMainForm(nullptr); }

    void WriteIni(const QByteArray &text)
    {
        QFile file(IniPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QString ReadIni(const QString &section, const QString &key)
    {
        TLayoutManagerINIStorage storage(IniPath);
        storage.Open(true);
        const QString value = storage.ReadString(section, key, QStringLiteral("<missing>"));
        storage.Close();
        return value;
    }

    // A main window as the program makes it: storage first, then layout control.
    std::unique_ptr<TMainTestForm> MakeMain(QSize size = QSize(300, 200))
    {
        auto form = std::make_unique<TMainTestForm>(size);
        form->LayoutManager().SetDisplays(Displays);
        form->SetLayoutStorage(std::make_shared<TLayoutManagerINIStorage>(IniPath));
        form->SetLayoutControl(true);
        return form;
    }

    QTemporaryDir Dir;
    QString IniPath;
    std::shared_ptr<TFakeDisplays> Displays = std::make_shared<TFakeDisplays>(QStringLiteral("800x600x96"));
};

TEST_F(FlatFormTest, CreationShrinksToTheWorkAreaAndCentres)
{
    const QRect area = WorkArea();
    struct Case { QSize Initial; QRect Expected; };
    const Case cases[] = {
        {QSize(area.width() + 4000, 300), QRect(area.left(), area.top() + (area.height() - 300) / 2, area.width(), 300)},
        {QSize(400, area.height() + 1), QRect(area.left() + (area.width() - 400) / 2, area.top(), 400, area.height())},
        {QSize(301, 201), QRect(area.left() + (area.width() - 301) / 2, area.top() + (area.height() - 201) / 2, 301, 201)},
    };
    for (const Case &c : cases) {
        TLMFlatForm form(nullptr, c.Initial);
        EXPECT_EQ(form.geometry(), c.Expected) << c.Initial.width() << "x" << c.Initial.height();
    }
}

TEST_F(FlatFormTest, CentresOnAnotherFormOrFallsBackToTheWorkArea)
{
    TLMFlatForm anchor(nullptr, QSize(400, 300));
    anchor.move(10, 20);
    TLMFlatForm form(nullptr, QSize(101, 51));
    form.CenterTo(&anchor);
    EXPECT_EQ(form.pos(), QPoint(10 + (400 - 101) / 2, 20 + (300 - 51) / 2));
    // Placed right of the origin, a form that fits keeps its size when centred.
    TLMFlatForm placed(nullptr, QSize(300, 200));
    placed.move(WorkArea().right() - 100, 0);
    placed.CenterTo(nullptr);
    EXPECT_EQ(placed.size(), QSize(300, 200));
    form.CenterToMonitor(57);
    const QRect area = WorkArea();
    EXPECT_EQ(form.pos(), QPoint(area.left() + (area.width() - 101) / 2, area.top() + (area.height() - 51) / 2));
}

TEST_F(FlatFormTest, GripIsTwelvePixelsWideOnEveryEdgeAndCorner)
{
    TLMFlatForm form(nullptr, QSize(300, 200));
    struct Case { QPoint At; Qt::Edges Edges; };
    const Case cases[] = {
        {{288, 100}, Qt::RightEdge},   // 11 pixels from the right edge
        {{287, 100}, {}},              // 12 pixels
        {{11, 100}, Qt::LeftEdge},
        {{12, 100}, {}},
        {{150, 11}, Qt::TopEdge},
        {{150, 12}, {}},
        {{150, 188}, Qt::BottomEdge},
        {{150, 187}, {}},
        {{0, 0}, Qt::TopEdge | Qt::LeftEdge},
        {{299, 5}, Qt::TopEdge | Qt::RightEdge},
        {{11, 188}, Qt::BottomEdge | Qt::LeftEdge},
        {{299, 199}, Qt::BottomEdge | Qt::RightEdge},
        {{150, 100}, {}},
        {{300, 100}, {}},              // outside the window
    };
    for (const Case &c : cases)
        EXPECT_EQ(form.ResizeEdgesAt(c.At), c.Edges) << c.At.x() << "," << c.At.y();
    form.SetResizeable(false);
    EXPECT_EQ(form.ResizeEdgesAt(QPoint(299, 199)), Qt::Edges());
}

TEST_F(FlatFormTest, DraggingInsideTheGripResizesAndOutsideDoesNot)
{
    TLMFlatForm form(nullptr, QSize(300, 200));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // Without a window manager the form follows the pointer itself.
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(288, 100));
    QTest::mouseMove(&form, QPoint(308, 100));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(308, 100));
    EXPECT_EQ(form.width(), 320);
    EXPECT_EQ(form.height(), 200);

    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(307, 100)); // 12 pixels in
    QTest::mouseMove(&form, QPoint(327, 100));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(327, 100));
    EXPECT_EQ(form.width(), 320);
}

// Children cover all but the one-pixel border, as the window's bars and list
// do: the grip lies over them, but not over buttons.
TEST_F(FlatFormTest, TheGripWorksOverChildWidgetsButNotOverButtons)
{
    TLMFlatForm form(nullptr, QSize(300, 200));
    auto *layout = new QVBoxLayout(&form);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    auto *bar = new TOmniBar(&form);
    bar->setFixedHeight(20);
    auto *button = new TOmniBar(bar);
    button->SetButtonMode(true);
    button->setGeometry(273, 0, 25, 20);
    // Any child that takes the press itself, as the list does.
    auto *list = new TOmniBar(&form);
    layout->addWidget(bar);
    layout->addWidget(list, 1);
    form.move(100, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int clicks = 0;
    QObject::connect(button, &TOmniBar::OnClick, [&] { ++clicks; });

    struct Case {
        const char *Name;
        QWidget *Child;
        QPoint At; // in the form
        QPoint Drag;
        QRect Expected;
    };
    const Case cases[] = {
        {"button in the top right corner", button, {290, 5}, {-3, 5}, {100, 100, 300, 200}},
        {"list, bottom edge", list, {150, 195}, {0, 20}, {100, 100, 300, 220}},
        {"list, right edge", list, {290, 120}, {15, 0}, {100, 100, 315, 220}},
        {"list, bottom left corner", list, {5, 215}, {-10, 10}, {90, 100, 325, 230}},
        {"bar, top edge", bar, {150, 5}, {0, -10}, {90, 90, 325, 240}},
        {"list, inside", list, {150, 100}, {30, 30}, {90, 90, 325, 240}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const QPoint local = c.Child->mapFrom(&form, c.At);
        ASSERT_TRUE(c.Child->rect().contains(local));
        QTest::mousePress(c.Child, Qt::LeftButton, {}, local);
        QTest::mouseMove(c.Child, local + c.Drag);
        QTest::mouseRelease(c.Child, Qt::LeftButton, {}, local + c.Drag);
        EXPECT_EQ(form.geometry(), c.Expected);
    }
    EXPECT_EQ(clicks, 1);
}

TEST_F(FlatFormTest, MaximisedFillsTheWorkAreaButItsLastRowWithoutBorder)
{
    TLMFlatForm form(nullptr, QSize(300, 200));
    form.SetBorderColor(ColorFromHex(0xFF0000));
    form.setStyleSheet(QStringLiteral("background: #00FF00"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(PixelName(form, 0, 0), "#FF0000");
    EXPECT_EQ(PixelName(form, 299, 199), "#FF0000");
    EXPECT_EQ(form.contentsMargins(), QMargins(1, 1, 1, 1));

    const QRect area = WorkArea();
    EXPECT_EQ(form.MaximizedGeometry(), QRect(area.left(), area.top(), area.width(), area.height() - 1));
    form.showMaximized();
    ASSERT_TRUE(Eventually([&] { return form.IsMaximized(); }));
    // The test platform keeps a maximised window on the whole work area; a window
    // manager gets the request for one row less.
    ASSERT_TRUE(EventuallyEq([&] { return form.width(); }, area.width()));
    EXPECT_EQ(form.geometry().topLeft(), area.topLeft());
    EXPECT_GE(form.height(), area.height() - 1);
    EXPECT_EQ(form.contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(PixelName(form, 0, 0), "#00FF00");
    EXPECT_EQ(form.ResizeEdgesAt(QPoint(0, 0)), Qt::Edges()); // no resizing while maximised

    form.showNormal();
    ASSERT_TRUE(EventuallyEq([&] { return form.contentsMargins(); }, QMargins(1, 1, 1, 1)));
    EXPECT_EQ(PixelName(form, 0, 0), "#FF0000");
}

TEST_F(FlatFormTest, FirstShowRestoresTheStoredLayout)
{
    WriteIni("[TMainTestForm]\r\nMonitor=0\r\n"
             "[TMainTestForm#800x600x96]\r\nPos=40,30\r\nSize=320,240\r\nState=0\r\n");
    auto form = MakeMain();
    QSignalSpy restored(form.get(), &TLMForm::OnAfterRestore);
    EXPECT_FALSE(form->Restored());
    EXPECT_EQ(form->Monitor(), -1);
    form->show();
    EXPECT_TRUE(form->Restored());
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(form->geometry(), QRect(40, 30, 320, 240));
    EXPECT_EQ(form->Monitor(), 0);
    form->hide();
    form->show(); // only the first show restores
    EXPECT_EQ(restored.count(), 1);
}

TEST_F(FlatFormTest, EndOfAMoveSavesTheFormsEntry)
{
    auto form = MakeMain();
    form->LayoutManager().StoredValues().AddItem(QStringLiteral("Interval"), 60, QString());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->move(70, 80);
    EXPECT_TRUE(form->Moving());
    ASSERT_TRUE(Eventually([&] { return !form->Moving(); }, 5 * TLMForm::kMoveSettleMs));
    EXPECT_EQ(ReadIni(QStringLiteral("TMainTestForm#800x600x96"), QStringLiteral("Pos")), "70,80");
    EXPECT_EQ(ReadIni(QStringLiteral("TMainTestForm"), QStringLiteral("Monitor")), "0");
    // Only the form's entry: the values wait for the save at the end.
    EXPECT_EQ(ReadIni(QStringLiteral("Settings"), QStringLiteral("Interval")), "<missing>");

    form->close();
    EXPECT_EQ(ReadIni(QStringLiteral("Settings"), QStringLiteral("Interval")), "60");
}

TEST_F(FlatFormTest, ReadOnlyLayoutSavesNothing)
{
    auto form = MakeMain();
    form->SetLayoutReadOnly(true);
    form->show();
    form->move(70, 80);
    ASSERT_TRUE(Eventually([&] { return !form->Moving(); }, 5 * TLMForm::kMoveSettleMs));
    form->close();
    EXPECT_FALSE(QFile::exists(IniPath));
}

TEST_F(FlatFormTest, NeverShownFormSavesNothingWhenDestroyed)
{
    {
        auto form = MakeMain();
    }
    EXPECT_FALSE(QFile::exists(IniPath));
}

TEST_F(FlatFormTest, SecondFormWritesIntoTheMainFormsFile)
{
    auto main = MakeMain();
    EXPECT_EQ(TLMForm::MainForm(), main.get());
    main->show();
    {
        TSecondTestForm second;
        EXPECT_EQ(second.LayoutStorage(), main->LayoutStorage());
        second.LayoutManager().SetDisplays(Displays);
        second.SetLayoutControl(true);
        second.show();
        second.move(15, 25);
    } // destroyed without closing: saved on the way out
    EXPECT_EQ(ReadIni(QStringLiteral("TSecondTestForm#800x600x96"), QStringLiteral("Pos")), "15,25");
    EXPECT_EQ(ReadIni(QStringLiteral("TSecondTestForm"), QStringLiteral("LayoutReadOnly")), "0");
}

TEST_F(FlatFormTest, FormThatForgetsTheDestructorSaveIsStillSavedUnderItsOwnClass)
{
    auto main = MakeMain();
    main->show();
    struct Case
    {
        const char *Ending;
        QPoint Pos;
        std::function<void(TForgetfulTestForm *)> End;
    };
    const Case cases[] = {
        {"close", {15, 25}, [](TForgetfulTestForm *form) { form->close(); delete form; }},
        {"deleteLater", {35, 45}, [](TForgetfulTestForm *form) {
             form->deleteLater();
             QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Ending);
        QPointer<TForgetfulTestForm> form = new TForgetfulTestForm;
        form->LayoutManager().SetDisplays(Displays);
        form->SetLayoutControl(true);
        form->show();
        form->move(c.Pos);
        c.End(form);
        ASSERT_TRUE(form.isNull());
        EXPECT_EQ(ReadIni(QStringLiteral("TForgetfulTestForm#800x600x96"), QStringLiteral("Pos")),
                  QStringLiteral("%1,%2").arg(c.Pos.x()).arg(c.Pos.y()));
    }

    // Deleted outright, the form is no longer whole in the base destructor: nothing
    // is written under the base class's name.
    auto *form = new TForgetfulTestForm;
    form->LayoutManager().SetDisplays(Displays);
    form->SetLayoutControl(true);
    form->show();
    form->move(55, 65);
    delete form;
    EXPECT_EQ(ReadIni(QStringLiteral("TLMForm#800x600x96"), QStringLiteral("Pos")), "<missing>");
    EXPECT_EQ(ReadIni(QStringLiteral("TLMForm"), QStringLiteral("Monitor")), "<missing>");
}

TEST_F(FlatFormTest, DisplayChangeMovesToThatDisplaysPlaceButKeepsTheState)
{
    WriteIni("[TMainTestForm]\r\nMonitor=0\r\n"
             "[TMainTestForm#800x600x96]\r\nPos=40,30\r\nSize=320,240\r\nState=0\r\n"
             "[TMainTestForm#1600x900x96]\r\nPos=100,50\r\nSize=330,250\r\nState=2\r\n");
    auto form = MakeMain();
    form->show();
    ASSERT_EQ(form->pos(), QPoint(40, 30));

    Displays->Tag = QStringLiteral("1600x900x96");
    form->DisplaySettingsChanged();
    EXPECT_EQ(form->geometry(), QRect(100, 50, 330, 250));
    EXPECT_FALSE(form->IsMaximized()); // the stored state of that display is not applied

    form->showMaximized();
    ASSERT_TRUE(Eventually([&] { return form->IsMaximized(); }));
    Displays->Tag = QStringLiteral("800x600x96");
    form->MonitorDpiChanged();
    EXPECT_TRUE(form->IsMaximized());
    EXPECT_FALSE(form->DPIChanging());
}

TEST_F(FlatFormTest, ThemePresetTravelsThroughTheSettingsFile)
{
    TThemeManager theme;
    theme.SetThemePreset(tpGraphite);
    {
        auto form = MakeMain();
        form->LayoutManager().Add(&theme, {QStringLiteral("ThemePreset")});
        form->show();
        form->close();
    }
    EXPECT_EQ(ReadIni(QStringLiteral("TThemeManager#800x600x96"), QStringLiteral("ThemePreset")), "10");

    // A damaged value leaves the preset as it is.
    WriteIni("[TThemeManager#800x600x96]\r\nThemePreset=99\r\n");
    theme.SetThemePreset(tpWord);
    auto form = MakeMain();
    form->LayoutManager().Add(&theme, {QStringLiteral("ThemePreset")});
    form->show();
    EXPECT_EQ(theme.ThemePreset(), tpWord);
    form->LayoutManager().SetReadOnly(true);
}

} // namespace

#include "test_flatform.moc"
