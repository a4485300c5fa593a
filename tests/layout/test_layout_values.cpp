#include "IniTestFiles.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"
#include "SampleValues.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString &kKeyText = kSampleKeyText;

// The named values on their own, as the application's settings model uses them:
// no layout manager, no widgets.
class LayoutValuesTest : public ::testing::Test
{
protected:
    LayoutValuesTest() { FStorage = std::make_shared<TLayoutManagerINIStorage>(FileName()); }

    void AddSettings(TLayoutManagerValues &values) { AddSampleValues(values); }

    QString FileName() const { return FDir.filePath(QStringLiteral("cfg/Nimbrel.ini")); }
    QString Text() const { return QString::fromUtf8(ReadBytes(FileName())); }

    QTemporaryDir FDir;
    std::shared_ptr<TLayoutManagerINIStorage> FStorage;
};

TEST_F(LayoutValuesTest, StoredValuesComeBackInTheirKinds)
{
    QDir().mkpath(QFileInfo(FileName()).absolutePath());
    ASSERT_TRUE(WriteBytes(FileName(), "[Settings]\nRAS=0\nWL=Brno,CZ\nWRI=0x1E\nZoom=2.5\n"
                                       "Since=2022-03-04 05:06:07\nOWM=C9609F\n"));
    TLayoutManagerValues values;
    values.SetStorage(FStorage);
    AddSettings(values);
    values.SetCipherer(std::make_shared<TLayoutManagerWinCryptCipherer>());
    values.Restore();
    EXPECT_EQ(values.GetValueByName(QStringLiteral("RAS")), QVariant(false));
    EXPECT_EQ(values.GetValueByName(QStringLiteral("WL")), QVariant(QStringLiteral("Brno,CZ")));
    EXPECT_EQ(values.GetValueByName(QStringLiteral("WRI")), QVariant::fromValue<qint64>(30));
    EXPECT_EQ(values.GetValueByName(QStringLiteral("Zoom")), QVariant(2.5));
    EXPECT_EQ(values.GetValueByName(QStringLiteral("Since")), QVariant(QDateTime(QDate(2022, 3, 4), QTime(5, 6, 7))));
    EXPECT_EQ(values.GetValueByName(QStringLiteral("OWM")), QVariant(QStringLiteral("abc")));
    EXPECT_FALSE(values.GetValueByName(QStringLiteral("missing")).isValid());
}

TEST_F(LayoutValuesTest, ValuesKeepTheirFirstRegistrationAndNewNamesAreStoredInClear)
{
    TLayoutManagerValues values;
    values.SetStorage(FStorage);
    values.SetCipherer(std::make_shared<TLayoutManagerWinCryptCipherer>());
    values.AddItem(QStringLiteral("OWM"), QStringLiteral("abc"), kKeyText);
    values.AddItem(QStringLiteral("owm"), QStringLiteral("other"), QString());
    values.AddItem(QStringLiteral("U"), 0);
    values.AddItem(QStringLiteral("U"), 5);
    EXPECT_EQ(values.Count(), 2);
    EXPECT_EQ(values.GetValue(QStringLiteral("OWM"))->Key(), kKeyText);
    EXPECT_EQ(values.GetValueByName(QStringLiteral("U")), QVariant(0));

    values.SetValueByName(QStringLiteral("Extra"), QStringLiteral("in clear"));
    EXPECT_TRUE(values.GetValue(QStringLiteral("Extra"))->Key().isEmpty());
    values.Save();
    EXPECT_TRUE(FStorage->LastError().isEmpty()) << FStorage->LastError().toStdString();
    EXPECT_EQ(Text(), QStringLiteral("[Settings]\nOWM=C9609F\nU=0\nExtra=in clear\n"));

    EXPECT_THROW(values.GetValue(QStringLiteral("Extra"))->SetName(QStringLiteral("u")), ELayoutManager);
}

TEST_F(LayoutValuesTest, WithoutAStorageNothingIsReadOrWritten)
{
    TLayoutManagerValues values;
    AddSettings(values);
    values.Save();
    values.Restore();
    EXPECT_EQ(values.GetValueByName(QStringLiteral("WRI")), QVariant(60));
    EXPECT_FALSE(QFileInfo::exists(FileName()));
}

} // namespace
