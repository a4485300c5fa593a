#include "LangConsts.h"
#include "UpdateAddress.h"
#include "UpdateSchedule.h"

#include <gtest/gtest.h>

namespace {

const QString kBuilt = QStringLiteral("https://maker.example/nimbrel/webupdate.html");

TEST(UpdateAddressChoice, StoredAddressReplacesTheBuiltOne)
{
    const struct {
        const char *stored;
        QString built;
        const char *url;
        bool problem;
    } cases[] = {
        {"", kBuilt, "https://maker.example/nimbrel/webupdate.html", false},
        {"   ", kBuilt, "https://maker.example/nimbrel/webupdate.html", false},
        {"http://127.0.0.1:8080/webupdate.html", kBuilt, "http://127.0.0.1:8080/webupdate.html", false},
        {" https://mirror.example/webupdate.html ", QString(), "https://mirror.example/webupdate.html", false},
        {"", QString(), "", false},
        {"ftp://mirror.example/webupdate.html", kBuilt, "https://maker.example/nimbrel/webupdate.html", true},
        {"file:///etc/passwd", QString(), "", true},
        {"mirror.example/webupdate.html", QString(), "", true},
        {"http:///webupdate.html", QString(), "", true},
    };
    for (const auto &c : cases) {
        const TUpdateAddress address = ChooseUpdateAddress(QString::fromUtf8(c.stored), c.built);
        EXPECT_EQ(address.Url, QString::fromUtf8(c.url)) << c.stored;
        EXPECT_EQ(!address.Problem.isEmpty(), c.problem) << c.stored;
        if (c.problem) {
            EXPECT_TRUE(address.Problem.contains(QLatin1String("UpdateUrl"))) << address.Problem.toStdString();
        }
    }
}

TEST(UpdateQuestionText, VersionInPlaceAndLineBreak)
{
    ResetTexts();
    EXPECT_EQ(UpdateQuestionText(QStringLiteral("2.5.0.1")),
              QStringLiteral("New version 2.5.0.1 is available.\nDo you want to download it?"));
    // A page's version brings no markup or control characters into the box.
    EXPECT_EQ(UpdateQuestionText(QStringLiteral("<img src=x>2.6\r\n")),
              QStringLiteral("New version img src=x2.6 is available.\nDo you want to download it?"));
    const QString saved = lc_NewVersionAvail;
    lc_NewVersionAvail = QStringLiteral("Nová verze %s je k dispozici.");
    EXPECT_TRUE(UpdateQuestionText(QStringLiteral("3.0")).startsWith(QStringLiteral("Nová verze 3.0 je")));
    lc_NewVersionAvail = saved;
}

} // namespace
