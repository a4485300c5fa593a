// An update page read, its tags taken, and the version it names compared with the
// running one in every format, as the update check does.
#include "FuzzSupport.h"

#include "UpdatePage.h"
#include "UpdateTypes.h"
#include "UpdateVersion.h"

namespace {

// Versions the running program may have, plain and odd.
const char *const kRunningVersions[] = {"0.1.0", "1.0", "", "2.5.x.7", "1e308"};
constexpr TVersionFormat kFormats[] = {vfStandard, vfString, vfNumber};
const QString kPageUrl = QStringLiteral("https://example.invalid/nimbrel/update.html");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines = PageLines(FuzzBytes(data, size));
    for (const TTagInfo &tags : {TTagInfo(), AppletTagInfo()}) {
        TUpdateInfo info;
        ParseUpdatePage(lines, tags, info);
        FUZZ_CHECK(info.ProductVersion.size() <= kMaxTagValueLength);
        FUZZ_CHECK(info.UpdateURL.size() <= kMaxTagValueLength);

        for (const char *running : kRunningVersions) {
            for (const TVersionFormat format : kFormats) {
                const QString current = QString::fromLatin1(running);
                const bool newer = IsNewerVersion(current, info.ProductVersion, format);
                // Never newer than itself.
                FUZZ_CHECK(!IsNewerVersion(info.ProductVersion, info.ProductVersion, format));
                // Both ways round cannot both be newer.
                FUZZ_CHECK(!(newer && IsNewerVersion(info.ProductVersion, current, format)));
            }
        }
        const QString download = DownloadAddress(info.UpdateURL, kPageUrl);
        SplitUrl(download);
        SplitUrl(info.RedirectionURL);
        IsWebAddress(info.Page);
        PageFolder(info.RedirectionURL);
    }
    return 0;
}
