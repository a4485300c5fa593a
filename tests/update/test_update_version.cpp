#include "UpdateVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdateVersion, NewerOrNot)
{
    const struct {
        const char *current;
        const char *page;
        TVersionFormat format;
        bool newer;
    } cases[] = {
        {"2.5.0.0", "2.5.0.1", vfStandard, true},
        {"2.5.0.0", "2.5.0.0", vfStandard, false},
        {"2.5.0.0", "2.4.9.9", vfStandard, false},
        {"2.5.0.0", "3", vfStandard, true},
        {"2.5.0.0", "2.10", vfStandard, true}, // numbers, not text: 10 > 5
        // Only as many parts as the running version has are compared.
        {"1.0", "1.0.1", vfStandard, false},
        {"1.0", "1.1.0", vfStandard, true},
        // Parts the page's version lacks count as 0.
        {"1.2.0.0", "1.2", vfStandard, false},
        {"1.2.0.1", "1.2", vfStandard, false},
        {"1.2.0.0", "1.3", vfStandard, true},
        // A part that is no number counts as 0.
        {"1.0", "1.beta", vfStandard, false},
        {"1.x", "1.1", vfStandard, true},
        {"1.0", "", vfStandard, false},
        {"", "0.1", vfStandard, false},
        {"1.0", "99999999999999999999999", vfStandard, false}, // too large for a number
        // Text compares by character codes.
        {"2.5a", "2.5b", vfString, true},
        {"2.5b", "2.5a", vfString, false},
        {"2.5", "2.5", vfString, false},
        {"2.9", "2.10", vfString, false},
        {"B", "a", vfString, true},
        {"1.0", "1.0.1", vfString, true},
        // One floating-point number; no number on either side is never newer.
        {"2.5", "2.51", vfNumber, true},
        {"2.5", "2.10", vfNumber, false},
        {"2.5", "2.5", vfNumber, false},
        {"2.5", "abc", vfNumber, false},
        {"abc", "2.5", vfNumber, false},
        {"2.5", "inf", vfNumber, false},
        {"2.5", " 3 ", vfNumber, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsNewerVersion(QString::fromUtf8(c.current), QString::fromUtf8(c.page), c.format), c.newer)
            << c.current << " vs " << c.page << " (format " << c.format << ")";
    }
}

} // namespace
