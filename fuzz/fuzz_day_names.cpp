// A day-names file read from disk, then the names of every day of a leap year.
#include "FuzzSupport.h"

#include "DayNames.h"

#include <QFile>

namespace {

constexpr int kLeapYear = 2024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString path = FuzzScratchFolder() + QStringLiteral("Nimbrel.dat");
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    const QStringList lines = LoadDayNames(path);
    for (QDate date(kLeapYear, 1, 1); date.year() == kLeapYear; date = date.addDays(1)) {
        const QString names = DayNames(lines, date, false);
        FUZZ_CHECK(names == names.trimmed());
        FUZZ_CHECK(!DayNames(lines, date, true).isEmpty());
    }
    DayNames(lines, QDate(), true);
    return 0;
}
