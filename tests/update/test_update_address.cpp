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

} // namespace
