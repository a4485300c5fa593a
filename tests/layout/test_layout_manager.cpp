// The layout manager on real widgets: what a form, its widgets, a registered object
// and the named values leave in the settings file, and what comes back.
#include "FakeDisplays.h"
#include "IniTestFiles.h"
#include "LayoutManager.h"
#include "LayoutManagerINIStorage.h"
#include "SafeFile.h"
#include "SampleValues.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace {

const QString kTagA = QStringLiteral("1920x1080x96");
const QString kTagB = QStringLiteral("2560x1440x144");

} // namespace

// A layout-managed form, as the flat form is.
class TTestForm : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool LayoutReadOnly READ LayoutReadOnly WRITE SetLayoutReadOnly)

public:
    bool LayoutReadOnly() const { return FLayoutReadOnly; }
    void SetLayoutReadOnly(bool value) { FLayoutReadOnly = value; }

private:
    bool FLayoutReadOnly = false;
};

// An object with named properties of the kinds that are kept, and one that is not.
class TSettingsHolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TMode Mode MEMBER FMode)
    Q_PROPERTY(int Count MEMBER FCount)
    Q_PROPERTY(bool Flag MEMBER FFlag)
    Q_PROPERTY(QString Title MEMBER FTitle)

public:
    enum TMode { mdFirst, mdSecond, mdThird };
    Q_ENUM(TMode)

    using QObject::QObject;

    TMode FMode = mdFirst;
    int FCount = 0;
    bool FFlag = false;
    QString FTitle;
};

namespace {

// A storage that counts the times its file is written.
class TCountingStorage : public TLayoutManagerINIStorage
{
public:
    using TLayoutManagerINIStorage::TLayoutManagerINIStorage;
    int Writes = 0;

protected:
    bool CommitFile(TPrivateFileWriter &file) override
    {
        ++Writes;
        return TLayoutManagerINIStorage::CommitFile(file);
    }
};

class LayoutManagerTest : public ::testing::Test
{
protected:
    LayoutManagerTest()
    {
        FStorage = std::make_shared<TLayoutManagerINIStorage>(FileName());
        FDisplays = std::make_shared<TFakeDisplays>(kTagA);
    }

    // A manager of a new form, as each start of the program makes one.
    std::unique_ptr<TLayoutManager> MakeManager(QWidget *owner)
    {
        auto manager = std::make_unique<TLayoutManager>(owner);
        manager->SetStorage(FStorage);
        manager->SetDisplays(FDisplays);
        return manager;
    }

    void AddSettings(TLayoutManager &manager) { AddSampleValues(manager.StoredValues()); }

    QString FileName() const { return FDir.filePath(QStringLiteral("cfg/Nimbrel.ini")); }
    QString Text() const { return QString::fromUtf8(ReadBytes(FileName())); }

    QTemporaryDir FDir;
    std::shared_ptr<TLayoutManagerINIStorage> FStorage;
    std::shared_ptr<TFakeDisplays> FDisplays;
};

TEST_F(LayoutManagerTest, FirstRunRestoresDefaultsAndTheFirstSaveWritesEverySection)
{
    TTestForm form;
    form.setGeometry(40, 50, 300, 200);
    TSettingsHolder holder;
    holder.FCount = 3;
    auto manager = MakeManager(&form);
    EXPECT_EQ(manager->Add(&form, {}, kDefaultFormLayoutOptions), 0);
    EXPECT_EQ(manager->Add(&holder, {QStringLiteral("count"), QStringLiteral("Count")}), 1);
    EXPECT_EQ(manager->Add(&holder), -1);
    AddSettings(*manager);

    manager->Restore();
    EXPECT_FALSE(QFileInfo::exists(FileName()));
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_EQ(holder.FCount, 3);
    EXPECT_EQ(manager->GetValueByName(QStringLiteral("wl")), QVariant(QStringLiteral("Prague,CZ")));

    ASSERT_TRUE(manager->Save()) << manager->LastError().toStdString();
    EXPECT_EQ(Text(), QStringLiteral("[TTestForm#1920x1080x96]\n"
                                     "Size=300,200\nPos=40,50\nAlign=0\nState=0\nStyle=0\n\n"
                                     "[TTestForm]\n"
                                     "LayoutReadOnly=0\nMonitor=0\nResolution=1920x1080x96\n\n"
                                     "[TSettingsHolder#1920x1080x96]\nCount=3\n\n"
                                     "[Settings]\nRAS=1\nWL=Prague,CZ\nWRI=60\nZoom=1.25\n"
                                     "Since=2021-02-26 14:05:09\nOWM=\n"));
}

// Every control and value of a save reach the file in one write, so a quit
// neither rewrites the file once per value nor can leave it with some of them.
TEST_F(LayoutManagerTest, ASaveWritesTheFileOnce)
{
    auto storage = std::make_shared<TCountingStorage>(FileName());
    TTestForm form;
    TSettingsHolder holder;
    auto manager = std::make_unique<TLayoutManager>(&form);
    manager->SetStorage(storage);
    manager->SetDisplays(FDisplays);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    manager->Add(&holder, {QStringLiteral("count"), QStringLiteral("Count")});
    AddSettings(*manager);

    ASSERT_TRUE(manager->Save()) << manager->LastError().toStdString();
    EXPECT_EQ(storage->Writes, 1);
    EXPECT_TRUE(Text().contains(QStringLiteral("WL=Prague,CZ")));
    EXPECT_TRUE(Text().contains(QStringLiteral("Count=0")));

    manager->SetValueByName(QStringLiteral("wl"), QStringLiteral("Brno,CZ"));
    manager->StoredValues().Save();
    EXPECT_EQ(storage->Writes, 2);
    EXPECT_TRUE(Text().contains(QStringLiteral("WL=Brno,CZ")));
}

TEST_F(LayoutManagerTest, ReadOnlyWritesNothingNotEvenTheValues)
{
    TTestForm form;
    auto manager = MakeManager(&form);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    AddSettings(*manager);
    manager->SetReadOnly(true);
    EXPECT_TRUE(manager->Save());
    EXPECT_TRUE(manager->Save(&form));
    EXPECT_FALSE(QFileInfo::exists(FileName()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(FileName()).absolutePath()));
}

TEST_F(LayoutManagerTest, AMaximisedFormKeepsItsNormalSizeAndPlace)
{
    TTestForm form;
    form.setGeometry(10, 20, 300, 200);
    auto manager = MakeManager(&form);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    ASSERT_TRUE(manager->Save(&form));

    form.setGeometry(0, 0, 1000, 900);
    form.setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(manager->Save(&form));
    const QString working = QStringLiteral("TTestForm#") + kTagA;
    EXPECT_EQ(FStorage->ReadString(working, QStringLiteral("Size"), QString()), QStringLiteral("300,200"));
    EXPECT_EQ(FStorage->ReadString(working, QStringLiteral("Pos"), QString()), QStringLiteral("10,20"));
    EXPECT_EQ(FStorage->ReadInteger(working, QStringLiteral("State"), -1), lfsMaximized);
    FStorage->Close();

    TTestForm next;
    auto nextManager = MakeManager(&next);
    nextManager->Add(&next, {}, kDefaultFormLayoutOptions);
    nextManager->Restore();
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
    next.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(next.geometry(), QRect(10, 20, 300, 200));
}

TEST_F(LayoutManagerTest, EachDisplayConfigurationKeepsItsOwnLayout)
{
    TTestForm form;
    auto manager = MakeManager(&form);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    form.setGeometry(10, 20, 300, 200);
    ASSERT_TRUE(manager->Save(&form));

    FDisplays->Tag = kTagB;
    manager->Restore(&form); // nothing stored for this display yet
    EXPECT_EQ(form.geometry(), QRect(10, 20, 300, 200));
    form.setGeometry(100, 120, 640, 480);
    ASSERT_TRUE(manager->Save(&form));
    EXPECT_TRUE(FStorage->SectionExists(QStringLiteral("TTestForm#") + kTagA));
    EXPECT_TRUE(FStorage->SectionExists(QStringLiteral("TTestForm#") + kTagB));

    FDisplays->Tag = kTagA;
    manager->Restore(&form);
    EXPECT_EQ(form.geometry(), QRect(10, 20, 300, 200));
    FDisplays->Tag = kTagB;
    manager->Restore(&form);
    EXPECT_EQ(form.geometry(), QRect(100, 120, 640, 480));
}

TEST_F(LayoutManagerTest, StayOnTopComesBackWithTheForm)
{
    {
        TTestForm form;
        form.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        form.SetLayoutReadOnly(true);
        auto manager = MakeManager(&form);
        manager->Add(&form, {}, kDefaultFormLayoutOptions);
        ASSERT_TRUE(manager->Save());
    }
    EXPECT_EQ(FStorage->ReadInteger(QStringLiteral("TTestForm#") + kTagA, QStringLiteral("Style"), -1),
              lfsStyleStayOnTop);
    FStorage->Close();
    TTestForm form;
    auto manager = MakeManager(&form);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    manager->Restore();
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.LayoutReadOnly());
}

TEST_F(LayoutManagerTest, PropertiesComeBackAndDamagedOnesAreIgnored)
{
    {
        TSettingsHolder holder;
        holder.FMode = TSettingsHolder::mdThird;
        holder.FCount = -4;
        holder.FFlag = true;
        holder.FTitle = QStringLiteral("Třeboň");
        auto manager = MakeManager(nullptr);
        manager->Add(&holder, {QStringLiteral("Mode"), QStringLiteral("Count"), QStringLiteral("Flag"),
                               QStringLiteral("Title")});
        ASSERT_TRUE(manager->Save());
    }
    const QString section = QStringLiteral("TSettingsHolder#") + kTagA;
    EXPECT_EQ(FStorage->ReadInteger(section, QStringLiteral("Mode"), -1), 2);
    EXPECT_FALSE(FStorage->ValueExists(section, QStringLiteral("Title"))); // no whole number: not kept
    FStorage->Close();

    TSettingsHolder holder;
    auto manager = MakeManager(nullptr);
    manager->Add(&holder, {QStringLiteral("Mode"), QStringLiteral("Count"), QStringLiteral("Flag"),
                           QStringLiteral("Title")});
    manager->Restore();
    manager->Restore();
    EXPECT_EQ(holder.FMode, TSettingsHolder::mdThird);
    EXPECT_EQ(holder.FCount, -4);
    EXPECT_TRUE(holder.FFlag);

    // Numbers no such property can hold leave it as it is.
    FStorage->WriteInteger(section, QStringLiteral("Mode"), 7);
    FStorage->WriteInteger(section, QStringLiteral("Count"), qint64(1) << 40);
    ASSERT_TRUE(FStorage->Close());
    manager->Restore();
    EXPECT_EQ(holder.FMode, TSettingsHolder::mdThird);
    EXPECT_EQ(holder.FCount, -4);
}

TEST_F(LayoutManagerTest, WidgetsOfAFormHaveSectionsBelowItAndDeleteDataTakesThemAll)
{
    TTestForm form;
    auto *panel = new QWidget(&form);
    panel->setObjectName(QStringLiteral("pnlList"));
    panel->setGeometry(5, 6, 70, 80);
    panel->setEnabled(false);
    auto manager = MakeManager(&form);
    manager->Add(&form, {}, kDefaultFormLayoutOptions);
    manager->Add(panel, {}, loPosition | loSize | loState);
    EXPECT_EQ(manager->GetControl(1)->PlainSection(), QStringLiteral("TTestForm\\pnlList"));
    ASSERT_TRUE(manager->Save());
    EXPECT_EQ(FStorage->ReadString(QStringLiteral("TTestForm#") + kTagA + QStringLiteral("\\pnlList"),
                                   QStringLiteral("Width"), QString()),
              QStringLiteral("70"));
    FStorage->Close();

    panel->setGeometry(0, 0, 10, 10);
    panel->setEnabled(true);
    manager->Restore(panel);
    EXPECT_EQ(panel->geometry(), QRect(5, 6, 70, 80));
    EXPECT_FALSE(panel->isEnabled());

    FStorage->WriteString(QStringLiteral("Settings"), QStringLiteral("WL"), QStringLiteral("kept"));
    ASSERT_TRUE(FStorage->Close());
    manager->DeleteData();
    EXPECT_EQ(Text(), QStringLiteral("[Settings]\nWL=kept\n"));
}

TEST_F(LayoutManagerTest, AWriteFailureReachesTheCaller)
{
    QDir().mkpath(FDir.path());
    ASSERT_TRUE(WriteBytes(FDir.filePath(QStringLiteral("cfg")), "a file, not a folder"));
    auto manager = MakeManager(nullptr);
    AddSettings(*manager);
    EXPECT_FALSE(manager->Save());
    EXPECT_FALSE(manager->LastError().isEmpty());
    EXPECT_EQ(ReadBytes(FDir.filePath(QStringLiteral("cfg"))), QByteArray("a file, not a folder"));

    ASSERT_TRUE(QFile::remove(FDir.filePath(QStringLiteral("cfg"))));
    EXPECT_TRUE(manager->Save()) << "a later save that works reports no old error";
}

TEST_F(LayoutManagerTest, TheRealScreensNameTheDesktop)
{
    const TScreenDisplays displays;
    ASSERT_GE(displays.MonitorCount(), 1);
    const QString tag = displays.DisplayTag(displays.PrimaryMonitor());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[1-9][0-9]*x[1-9][0-9]*x[1-9][0-9]*$")).match(tag).hasMatch())
        << tag.toStdString();
    EXPECT_EQ(displays.MonitorOf(nullptr), -1);
    EXPECT_EQ(displays.DisplayTag(displays.MonitorCount()), tag);
}

TEST_F(LayoutManagerTest, AnObjectDestroyedWhileRegisteredLeavesTheList)
{
    auto manager = MakeManager(nullptr);
    auto *holder = new TSettingsHolder;
    manager->Add(holder, {QStringLiteral("Count")});
    EXPECT_EQ(manager->Count(), 1);
    delete holder;
    EXPECT_EQ(manager->Count(), 0);
    EXPECT_TRUE(manager->Save());
}

} // namespace

#include "test_layout_manager.moc"
