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
