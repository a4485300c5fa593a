#include "UpdatePage.h"

#include <gtest/gtest.h>

namespace {

QStringList Lines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list.append(QString::fromUtf8(line));
    return list;
}

TEST(UpdatePageParser, ReadsTheNamedTagsOfAnyCaseName)
{
    TUpdateInfo info;
    ParseUpdatePage(Lines({
                        "<HTML><HEAD>",
                        R"(<META NAME="NBName" CONTENT="Nimbrel">)",
                        R"(<META NAME="nbversion" content="2.5.0.1">)",
                        R"(  <META NAME="NBDOWNLOAD" Content="setup.tar.gz"> trailing text)",
                        R"(<META NAME="NBFile" CONTENT="nimbrel-2.5.tar.gz">)",
                        R"(<META NAME="NBPage" CONTENT="https://example.org/nimbrel">)",
                        R"(<META NAME="NBAuthor" CONTENT="A. Maker">)",
                        R"(<META NAME="NBEmail" CONTENT="maker@example.org">)",
                        R"(<META NAME="NBRunParameters" CONTENT="--quiet">)",
                        R"(<META NAME="NBMD5" CONTENT="abc">)",
                        R"(<META NAME="SHA256" CONTENT="DEF">)",
                        R"(<META NAME="Unknown" CONTENT="ignored">)",
                        R"(<META NAME="Version" CONTENT="class default name, not ours">)",
                    }),
                    AppletTagInfo(), info);
    EXPECT_EQ(info.ProductName, QStringLiteral("Nimbrel"));
    EXPECT_EQ(info.ProductVersion, QStringLiteral("2.5.0.1"));
    EXPECT_EQ(info.UpdateURL, QStringLiteral("setup.tar.gz"));
    EXPECT_EQ(info.ClientFileName, QStringLiteral("nimbrel-2.5.tar.gz"));
    EXPECT_EQ(info.Page, QStringLiteral("https://example.org/nimbrel"));
    EXPECT_EQ(info.Author, QStringLiteral("A. Maker"));
    EXPECT_EQ(info.EMail, QStringLiteral("maker@example.org"));
    EXPECT_EQ(info.RunParameters, QStringLiteral("--quiet"));
    EXPECT_EQ(info.MD5, QStringLiteral("abc"));
    EXPECT_EQ(info.SHA256, QStringLiteral("DEF"));
    EXPECT_TRUE(info.RedirectionURL.isEmpty());
}

TEST(UpdatePageParser, LineRules)
{
    const QString longValue(300, QLatin1Char('7'));
    const struct {
        const char *name;
        QStringList lines;
        QString version; // what the version tag ends up as
    } cases[] = {
        {"later lines override earlier ones",
         Lines({R"(<META NAME="NBVersion" CONTENT="1.0">)", R"(<META NAME="NBVersion" CONTENT="2.0">)"}),
         QStringLiteral("2.0")},
        {"a lower-case tag mark carries nothing",
         Lines({R"(<meta name="NBVersion" content="2.0">)"}), QString()},
        {"the mark in mixed case carries nothing",
         Lines({R"(<Meta Name="NBVersion" CONTENT="2.0">)"}), QString()},
        {"values stop at 255 characters",
         QStringList{QStringLiteral(R"(<META NAME="NBVersion" CONTENT=")") + longValue + QStringLiteral("\">")},
         QString(255, QLatin1Char('7'))},
        {"the stop never halves a character",
         QStringList{QStringLiteral(R"(<META NAME="NBVersion" CONTENT=")") + QString(254, QLatin1Char('7'))
                     + QStringLiteral("\U0001F600\">")},
         QString(254, QLatin1Char('7'))},
        {"control characters do not come along",
         Lines({"<META NAME=\"NBVersion\" CONTENT=\"2.\x01\x1b[31m0\">"}), QStringLiteral("2.[31m0")},
        {"a value without closing quote is passed over",
         Lines({R"(<META NAME="NBVersion" CONTENT="1.0">)", R"(<META NAME="NBVersion" CONTENT="2.0)"}),
         QStringLiteral("1.0")},
        {"a name without closing quote is passed over",
         Lines({R"(<META NAME="NBVersion CONTENT=2.0>)"}), QString()},
        {"a line without CONTENT= is passed over",
         Lines({R"(<META NAME="NBVersion" VALUE="2.0">)"}), QString()},
        {"the offsets are exact: a blank before = moves the name",
         Lines({R"(<META NAME = "NBVersion" CONTENT="2.0">)"}), QString()},
        {"an empty value is a value",
         Lines({R"(<META NAME="NBVersion" CONTENT="1.0">)", R"(<META NAME="NBVersion" CONTENT="">)"}), QString()},
        {"a line cut right after the mark",
         Lines({"META NAME", "META NAME=\""}), QString()},
        {"one tag per line: the first mark names it",
         Lines({R"(<META NAME="NBName" CONTENT="N"><META NAME="NBVersion" CONTENT="2.0">)"}), QString()},
    };
    for (const auto &c : cases) {
        TUpdateInfo info;
        ParseUpdatePage(c.lines, AppletTagInfo(), info);
        EXPECT_EQ(info.ProductVersion, c.version) << c.name;
    }
}

TEST(UpdatePageParser, LinesOfAnyEnding)
{
    EXPECT_EQ(PageLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(PageLines("Ver\xc3\xa1ze"), QStringList{QString::fromUtf8("Ver\xc3\xa1ze")});
}

TEST(UpdateAddresses, SplitFolderAndDownload)
{
    const TUrlParts parts = SplitUrl(QStringLiteral("HTTPS://host:8443/a/b/webupdate.html"));
    EXPECT_EQ(parts.Host, QStringLiteral("host:8443"));
    EXPECT_EQ(parts.Path, QStringLiteral("/a/b/webupdate.html"));
    EXPECT_TRUE(parts.Secure);
    EXPECT_TRUE(SplitUrl(QStringLiteral("/webupdate.html")).Host.isEmpty());

    const struct {
        const char *download;
        const char *page;
        const char *address;
    } cases[] = {
        {"setup.tar.gz", "http://h/a/webupdate.html", "http://h/a/setup.tar.gz"},
        {"files/setup.tar.gz", "https://h/webupdate.html", "https://h/files/setup.tar.gz"},
        {"setup.tar.gz", "http://h", "http://h/setup.tar.gz"},
        {"http://other/setup.tar.gz", "http://h/a/webupdate.html", "http://other/setup.tar.gz"},
        {"HTTPS://other/x", "http://h/a/webupdate.html", "HTTPS://other/x"},
        // Only a leading scheme makes a name absolute, not "http" inside it.
        {"nimbrel-http.tar.gz", "http://h/a/webupdate.html", "http://h/a/nimbrel-http.tar.gz"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DownloadAddress(QString::fromUtf8(c.download), QString::fromUtf8(c.page)),
                  QString::fromUtf8(c.address))
            << c.download << " beside " << c.page;
}

TEST(UpdateAddresses, ProductAddressGetsAScheme)
{
    TProductInfo info;
    const struct {
        const char *set;
        const char *url;
    } cases[] = {
        {"example.org/webupdate.html", "http://example.org/webupdate.html"},
        {"HTTPS://example.org/webupdate.html", "HTTPS://example.org/webupdate.html"},
        {"Http://example.org/", "Http://example.org/"},
        {"", ""},
    };
    for (const auto &c : cases) {
        info.SetURL(QString::fromUtf8(c.set));
        EXPECT_EQ(info.URL(), QString::fromUtf8(c.url));
    }
}

} // namespace
