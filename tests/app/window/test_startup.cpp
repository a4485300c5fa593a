// The start-up's reading of our own service section: only an http or https
// address with a host replaces the service's own.
#include "LayoutManagerINIStorage.h"
#include "StartUp.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

TEST(StartUp, ServiceAddressIsTakenOnlyWhenItIsOne)
{
    const struct {
        const char *stored; // null: no entry
        const char *used;
    } cases[] = {
        {nullptr, ""},
        {"", ""},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"  https://proxy.example/owm  ", "https://proxy.example/owm"},
        {"HTTP://Proxy.Example", "HTTP://Proxy.Example"},
        {"ftp://proxy.example", ""},
        {"file:///etc/passwd", ""},
        {"http://", ""},
        {"proxy.example:8080", ""},
        {"not an address", ""},
    };
    QTemporaryDir folder;
    for (const auto &testCase : cases) {
        TLayoutManagerINIStorage storage(folder.filePath(QStringLiteral("nimbrel.ini")));
        storage.Open(false);
        storage.DeleteSection(QLatin1String(kServiceSection), true);
        if (testCase.stored != nullptr)
            storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kApiBaseKey),
                                QString::fromUtf8(testCase.stored));
        EXPECT_EQ(ReadServiceAddress(storage, QLatin1String(kApiBaseKey)), QString::fromUtf8(testCase.used))
            << (testCase.stored ? testCase.stored : "(none)");
        storage.Close();
    }
}

TEST(StartUp, ServiceTimeoutIsTakenOnlyWhenItIsSecondsInRange)
{
    const struct {
        const char *stored; // null: no entry
        int used;           // 0: the client's default
    } cases[] = {
        {nullptr, 0}, {"", 0},      {"3", 3},    {" 600 ", 600}, {"601", 0},
        {"0", 0},     {"-5", 0},    {"2.5", 0},  {"ten", 0},     {"99999999999", 0},
    };
    QTemporaryDir folder;
    for (const auto &testCase : cases) {
        TLayoutManagerINIStorage storage(folder.filePath(QStringLiteral("nimbrel.ini")));
        storage.Open(false);
        storage.DeleteSection(QLatin1String(kServiceSection), true);
        if (testCase.stored != nullptr)
            storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kTimeoutKey),
                                QString::fromUtf8(testCase.stored));
        EXPECT_EQ(ReadServiceTimeout(storage), testCase.used) << (testCase.stored ? testCase.stored : "(none)");
        storage.Close();
    }
}

// A relative path would name another file for each folder the program starts in.
TEST(StartUp, ServiceCaFileIsTakenOnlyAsAnAbsolutePath)
{
    const struct {
        const char *stored; // null: no entry
        const char *used;   // empty: the system's certificates alone
    } cases[] = {
        {nullptr, ""},
        {"  ", ""},
        {"/etc/nimbrel/proxy.pem", "/etc/nimbrel/proxy.pem"},
        {" /srv/ca bundle.pem ", "/srv/ca bundle.pem"},
        {"proxy.pem", ""},
        {"~/proxy.pem", ""},
    };
    QTemporaryDir folder;
    for (const auto &testCase : cases) {
        TLayoutManagerINIStorage storage(folder.filePath(QStringLiteral("nimbrel.ini")));
        storage.Open(false);
        storage.DeleteSection(QLatin1String(kServiceSection), true);
        if (testCase.stored != nullptr)
            storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kCaFileKey),
                                QString::fromUtf8(testCase.stored));
        EXPECT_EQ(ReadServiceCaFile(storage), QString::fromUtf8(testCase.used))
            << (testCase.stored ? testCase.stored : "(none)");
        storage.Close();
    }
}
