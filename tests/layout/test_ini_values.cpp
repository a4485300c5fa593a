// Reading and writing each value kind through the INI storage.
#include "IniTestFiles.h"
#include "LayoutManagerINIStorage.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include <limits>

namespace {

const QString kSection = QStringLiteral("Values");

class IniValuesTest : public ::testing::Test
{
protected:
    // A storage over a file holding one key with the given text.
    void Store(const QString &text)
    {
        ASSERT_TRUE(WriteBytes(FileName(), ("[Values]\nkey=" + text + "\n").toUtf8()));
    }
    QString FileName() const { return FDir.filePath(QStringLiteral("Nimbrel.ini")); }

    QTemporaryDir FDir;
};

struct TIntegerCase
{
    const char *Stored;
    qint64 Expected;
};

TEST_F(IniValuesTest, IntegersReadDecimalAndHexOrTheDefault)
{
    constexpr qint64 kDefault = -7;
    const TIntegerCase cases[] = {
        {"42", 42},
        {"-42", -42},
        {" 12 ", 12},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"0xFFFFFFFFFFFFFFFF", -1},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"9223372036854775808", kDefault}, // does not fit
        {"0x", kDefault},
        {"0x1G", kDefault},
        {"12abc", kDefault},
        {"1.5", kDefault},
        {"", kDefault},
        {"0x10000000000000000", kDefault},
        // After the prefix only hexadecimal digits count: no second prefix, sign or blank.
        {"0x0x1F", kDefault},
        {"$0x1F", kDefault},
        {"0x+1F", kDefault},
        {"$ 1F", kDefault},
        {"$-1", kDefault},
    };
    for (const TIntegerCase &c : cases) {
        Store(QString::fromLatin1(c.Stored));
        TLayoutManagerINIStorage storage(FileName());
        EXPECT_EQ(storage.ReadInteger(kSection, QStringLiteral("key"), kDefault), c.Expected) << c.Stored;
    }
}

struct TBooleanCase
{
    const char *Stored;
    bool Default;
    bool Expected;
};

TEST_F(IniValuesTest, BooleansAreIntegersOrTheDefault)
{
    const TBooleanCase cases[] = {
        {"1", false, true}, {"0", true, false}, {"2", false, true}, {"-1", false, true},
        {"0x0", true, false}, {"yes", false, false}, {"yes", true, true}, {"true", false, false},
    };
    for (const TBooleanCase &c : cases) {
        Store(QString::fromLatin1(c.Stored));
        TLayoutManagerINIStorage storage(FileName());
        EXPECT_EQ(storage.ReadBoolean(kSection, QStringLiteral("key"), c.Default), c.Expected) << c.Stored;
    }
}

struct TFloatCase
{
    const char *Stored;
    double Expected;
};

TEST_F(IniValuesTest, FloatsUseAPointOrGiveTheDefault)
{
    constexpr double kDefault = 9.25;
    const TFloatCase cases[] = {
        {"1.5", 1.5}, {"-0.001", -0.001}, {"1e3", 1000.0}, {"1,5", kDefault}, {"abc", kDefault}, {"nan", kDefault},
    };
    for (const TFloatCase &c : cases) {
        Store(QString::fromLatin1(c.Stored));
        TLayoutManagerINIStorage storage(FileName());
        EXPECT_DOUBLE_EQ(storage.ReadFloat(kSection, QStringLiteral("key"), kDefault), c.Expected) << c.Stored;
    }
}

TEST_F(IniValuesTest, DatetimesNeedAValidCalendarDate)
{
    const QDateTime fallback(QDate(2000, 1, 2), QTime(3, 4, 5));
    const struct
    {
        const char *Stored;
        QDateTime Expected;
    } cases[] = {
        {"2021-02-26 14:05:09", QDateTime(QDate(2021, 2, 26), QTime(14, 5, 9))},
        {"2021-02-26", QDateTime(QDate(2021, 2, 26), QTime(0, 0))},
        {"2021-13-01 10:00:00", fallback},
        {"2021-02-30 10:00:00", fallback},
        {"26.02.2021 14:05", fallback},
    };
    for (const auto &c : cases) {
        Store(QString::fromLatin1(c.Stored));
        TLayoutManagerINIStorage storage(FileName());
        EXPECT_EQ(storage.ReadDatetime(kSection, QStringLiteral("key"), fallback), c.Expected) << c.Stored;
    }
}

TEST_F(IniValuesTest, WrittenTextsDoNotFollowTheUserLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        TLayoutManagerINIStorage storage(FileName());
        storage.WriteFloat(kSection, QStringLiteral("f"), 1.5);
        storage.WriteFloat(kSection, QStringLiteral("small"), 0.001);
        storage.WriteFloat(kSection, QStringLiteral("big"), 1234567.25);
        storage.WriteInteger(kSection, QStringLiteral("i"), -1234567);
        storage.WriteBoolean(kSection, QStringLiteral("b"), true);
        storage.WriteDatetime(kSection, QStringLiteral("d"), QDateTime(QDate(2021, 2, 26), QTime(14, 5, 9)));
        EXPECT_TRUE(storage.Close()) << storage.LastError().toStdString();
    }
    QLocale::setDefault(previous);
    EXPECT_EQ(ReadBytes(FileName()), QByteArray("[Values]\nf=1.5\nsmall=0.001\nbig=1234567.25\ni=-1234567\n"
                                                "b=1\nd=2021-02-26 14:05:09\n"));
}

TEST_F(IniValuesTest, MissingKeysGiveTheDefaultAndStringsComeBackAsWritten)
{
    TLayoutManagerINIStorage storage(FileName());
    EXPECT_EQ(storage.ReadString(kSection, QStringLiteral("none"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(storage.ReadInteger(kSection, QStringLiteral("none"), 5), 5);
    const QString text = QStringLiteral("a=b; [c] ěščř €");
    storage.WriteString(kSection, QStringLiteral("s"), text);
    ASSERT_TRUE(storage.Close());
    EXPECT_EQ(storage.ReadString(kSection, QStringLiteral("S"), QString()), text);
}

TEST_F(IniValuesTest, ALineBreakInAValueCannotStartANewSection)
{
    TLayoutManagerINIStorage storage(FileName());
    storage.WriteString(kSection, QStringLiteral("s"), QStringLiteral("x\n[Evil]\nk=v"));
    ASSERT_TRUE(storage.Close());
    EXPECT_FALSE(storage.SectionExists(QStringLiteral("Evil")));
    EXPECT_EQ(storage.ReadString(kSection, QStringLiteral("s"), QString()), QStringLiteral("x [Evil] k=v"));
}

} // namespace
