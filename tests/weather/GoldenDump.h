// Golden files of record dumps: <name>.ref in the test's data folder. The
// dumps show local times, so they are compared in one zone only.
#pragma once

#include "Fixture.h"
#include "ZoneCase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QtGlobal>

inline constexpr char kGoldenZone[] = "Asia/Tokyo";

// With NIMBREL_UPDATE_GOLDEN set, the dump is written as the new golden file.
inline void ExpectGoldenDump(const QString &name, const QString &dump)
{
    ASSERT_EQ(CurrentZone(), kGoldenZone) << "run under TZ=" << kGoldenZone << ": the dumps show local times";
    const QString goldenPath = FixturePath(name + QStringLiteral(".ref"));
    QFile golden(goldenPath);
    if (qEnvironmentVariableIsSet("NIMBREL_UPDATE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate)) << goldenPath.toStdString();
        golden.write(dump.toUtf8());
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << "missing golden " << goldenPath.toStdString();
    // As std::string, so that a failure shows a line-by-line difference.
    EXPECT_EQ(dump.toStdString(), golden.readAll().toStdString());
}
