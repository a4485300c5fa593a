// A language file loaded by the manager, then every text and message looked up,
// messages through the wildcard patterns of the file itself.
#include "FuzzSupport.h"

#include "LangMan.h"

#include <QFile>

namespace {

constexpr char kCode[] = "fz";
// Lines of the input tried as messages, so patterns meet texts they may match.
constexpr qsizetype kMaxMessages = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString folder = FuzzScratchFolder();
    {
        QFile file(folder + QLatin1String(kProgramLangFileName) + u'.' + QLatin1String(kCode) +
                   QStringLiteral(".lng"));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }

    TLanguageManager manager;
    manager.SetProgramFolder(folder);
    manager.SetFolder(folder);
    manager.SetLanguageCode(QLatin1String(kCode));

    for (const TLangKeyTable *table :
         {&manager.Constants(), &manager.Properties(), &manager.ResourceStrings()}) {
        for (int i = 0; i < table->Count(); ++i) {
            manager.LangText(table->KeyAt(i));
            manager.LangString(table->KeyAt(i));
        }
    }

    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size() && i < kMaxMessages; ++i) {
        manager.LangString(lines.at(i));
        manager.LangString(lines.at(i).trimmed() + QStringLiteral(" 404"));
    }
    manager.LangText(QStringLiteral("missing"), QStringLiteral("a\\nb\\t"));
    return 0;
}
