#include "LangTestFiles.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <sys/stat.h>

namespace {

QStringList Names(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names.append(QFileInfo(path).fileName());
    return names;
}

TEST(LangFiles, FileNamesFilterAndExtensions)
{
    TLangFolder folder;
    for (const char *name : {"Nimbrel.de.lng", "Other.de.lng", "Nimbrel.de.lngu", "Nimbrel.de.lngz",
                             "Nimbrel.de.lng.bak", "Nimbrel.de.lngx", "Nimbrel.fr.lng", "Nimbrel.DE.lng",
                             "de.lng"})
        folder.Write(QStringLiteral("bin/Langs/") + QLatin1String(name), LangFile("x", ""));

    const struct {
        QStringList fileNames;
        const char *code;
        QStringList base;
        QStringList user;
    } cases[] = {
        {{"Nimbrel"}, "de", {"Nimbrel.DE.lng", "Nimbrel.de.lng", "Nimbrel.de.lngz"}, {"Nimbrel.de.lngu"}},
        {{}, "de", {"Nimbrel.DE.lng", "Nimbrel.de.lng", "Other.de.lng", "Nimbrel.de.lngz"}, {"Nimbrel.de.lngu"}},
        {{"oth?r"}, "de", {"Other.de.lng"}, {}},
        {{"Nimbrel", "Other"}, "de", {"Nimbrel.DE.lng", "Nimbrel.de.lng", "Other.de.lng", "Nimbrel.de.lngz"},
         {"Nimbrel.de.lngu"}},
        {{"Nimbrel"}, "fr", {"Nimbrel.fr.lng"}, {}},
        {{"Nimbrel"}, "", {"Nimbrel.DE.lng", "Nimbrel.de.lng", "Nimbrel.fr.lng", "Nimbrel.de.lngz"},
         {"Nimbrel.de.lngu"}},
        {{"Nimbrel"}, "it", {}, {}},
    };
    for (const auto &c : cases) {
        TLanguageManager manager;
        folder.Aim(manager);
        manager.SetFileNames(c.fileNames);
        QStringList base{QStringLiteral("kept")};
        QStringList user;
        manager.GetLanguageFiles(QLatin1String(c.code), base, user);
        EXPECT_EQ(Names(base), QStringList{QStringLiteral("kept")} + c.base) << c.code << " " << c.fileNames.join(u',').toStdString();
        EXPECT_EQ(Names(user), c.user) << c.code << " " << c.fileNames.join(u',').toStdString();
    }
}

TEST(LangFiles, UserFileOverridesBaseAndKeysIgnoreCase)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                 LangFile("Deutsch", "[Constants]\nlc_Day=Tag\nLC_WIND = Wind \n@Res=base\n"
                                     "[Twnd_nb_Main]\nself.Caption=Basis\n"
                                     "[Messages]\nFile not found\nDatei fehlt\n"));
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lngu"),
                 LangFile("Mein Deutsch", "[CONSTANTS]\nLC_DAY=Tag (eigen)\n@RES=eigen\nlc_New=Neu\n"
                                          "[TWND_NB_MAIN]\nSELF.caption=Eigen\n"
                                          "[messages]\nFILE NOT FOUND\nDatei nicht da\n"));
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetFileNames({QStringLiteral("Nimbrel")});
    manager.SetLanguageCode(QStringLiteral("de"));

    EXPECT_EQ(manager.LastError(), QString());
    EXPECT_EQ(manager.LanguageName(), QStringLiteral("Deutsch"));
    EXPECT_EQ(Names(manager.ActiveFiles()), (QStringList{"Nimbrel.de.lng", "Nimbrel.de.lngu"}));
    const struct {
        const char *id;
        const char *expected;
    } lookups[] = {
        {"lc_day", "Tag (eigen)"},  {"Lc_Wind", "Wind"},         {"lc_new", "Neu"},
        {"@res", "eigen"},          {"twnd_nb_main.self.caption", "Eigen"},
    };
    for (const auto &l : lookups)
        EXPECT_EQ(manager.LangText(QLatin1String(l.id), QStringLiteral("default")), QString::fromUtf8(l.expected)) << l.id;
    EXPECT_EQ(manager.Constants().Count(), 3);
    EXPECT_EQ(manager.LangString(QStringLiteral("file not found")), QStringLiteral("Datei nicht da"));
}

TEST(LangFiles, EscapesInValuesAndDefaults)
{
    const struct {
        const char *written;
        const char *expected;
    } cases[] = {
        {"Line1\\nLine2", "Line1\nLine2"},
        {"A\\tB", "A\tB"},
        {"\\n\\n", "\n\n"},
        {"C:\\new", "C:\new"},   // no other escapes: "\n" inside a path is still a break
        {"C:\\dir", "C:\\dir"},
        {"end\\", "end\\"},
        {"\\\\n", "\\\n"},       // left to right: the first backslash stays, the second starts "\n"
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"),
                     LangFile("D", (QByteArray("[Constants]\nkey=") + c.written + "\n[Form]\nlabel.Caption=" +
                                    c.written + "\n")
                                       .constData()));
        TLanguageManager manager;
        folder.Aim(manager);
        manager.SetLanguageCode(QStringLiteral("de"));
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_EQ(manager.LangText(QStringLiteral("key")), expected) << c.written;
        EXPECT_EQ(manager.LangText(QStringLiteral("FORM.LABEL.CAPTION")), expected) << c.written;
        EXPECT_EQ(manager.LangText(QStringLiteral("unknown"), QString::fromUtf8(c.written)), expected) << c.written;
        EXPECT_EQ(manager.LangText(QString(), QString::fromUtf8(c.written)), expected) << c.written;
    }
}

TEST(LangFiles, FolderChoiceAndFallbacks)
{
    enum Where { kFolder, kLangs, kShare, kBin };
    const char *const places[] = {"custom", "bin/Langs", "share/nimbrel/langs", "bin"};
    const struct {
        const char *name;
        std::vector<Where> filled;
        bool folderExists;
        bool folderEmpty;
        const char *expected;
    } cases[] = {
        {"an existing folder is searched alone", {kFolder, kLangs, kBin}, true, false, "custom"},
        {"an existing but empty folder is still the only one", {kLangs}, true, false, ""},
        {"a missing folder falls back to the installed languages", {kLangs, kShare, kBin}, false, false,
         "share/nimbrel/langs"},
        {"then to Langs beside the program", {kLangs, kBin}, false, false, "bin/Langs"},
        {"then to the program folder", {kBin}, false, false, "bin"},
        {"an empty folder setting falls back too", {kBin}, false, true, "bin"},
        {"nothing anywhere", {}, false, false, ""},
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        if (c.folderExists)
            QDir().mkpath(folder.Path(QStringLiteral("custom")));
        for (Where where : c.filled)
            folder.Write(QLatin1String(places[where]) + QStringLiteral("/Nimbrel.de.lng"), LangFile(places[where], ""));
        TLanguageManager manager;
        manager.SetProgramFolder(folder.Path(QStringLiteral("bin")));
        manager.SetFolder(c.folderEmpty ? QString() : folder.Path(QStringLiteral("custom")));
        manager.SetFileNames({QStringLiteral("Nimbrel")});
        manager.SetLanguageCode(QStringLiteral("de"));
        EXPECT_EQ(manager.LanguageName(), QString::fromUtf8(c.expected)) << c.name;
    }
}

TEST(LangFiles, DefaultFolderIsLangsBesideTheProgram)
{
    TLanguageManager manager;
    EXPECT_EQ(manager.Folder(), manager.ProgramFolder() + QStringLiteral("Langs"));
    EXPECT_EQ(GlobalLangManager().FileNames(), QStringList{QStringLiteral("Nimbrel")});
    EXPECT_EQ(&GlobalLangManager(), &GlobalLangManager());
}

TEST(LangFiles, FirstNamingFileNamesTheLanguage)
{
    const struct {
        const char *name;
        QByteArray first;
        QByteArray second;
        const char *expected;
    } cases[] = {
        {"both named", LangFile("Cestina A", ""), LangFile("Cestina B", ""), "Cestina A"},
        {"first unnamed", QByteArray("[Constants]\nx=1\n"), LangFile("Cestina B", ""), "Cestina B"},
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        folder.Write(QStringLiteral("bin/Langs/A.cs.lng"), c.first);
        folder.Write(QStringLiteral("bin/Langs/B.cs.lng"), c.second);
        folder.Write(QStringLiteral("bin/Langs/B.de.lng"), LangFile("Deutsch", ""));
        TLanguageManager manager;
        folder.Aim(manager);
        QStringList languages{QStringLiteral("stale=entry")};
        ASSERT_TRUE(manager.GetAvailableLanguages(languages)) << c.name;
        EXPECT_EQ(languages, (QStringList{QStringLiteral("cs=") + QLatin1String(c.expected), "de=Deutsch"})) << c.name;
        manager.SetLanguageCode(QStringLiteral("cs"));
        EXPECT_EQ(manager.LanguageName(), QLatin1String(c.expected)) << c.name;
    }
}

TEST(LangFiles, MissingLanguageEmptiesTheManager)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), LangFile("Deutsch", "[Constants]\nlc_Day=Tag\n"));
    TLanguageManager manager;
    folder.Aim(manager);
    int changes = 0;
    manager.OnLanguageChanged = [&](TLanguageManager *sender) {
        EXPECT_EQ(sender, &manager);
        ++changes;
    };
    manager.SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(manager.LangText(QStringLiteral("lc_Day"), QStringLiteral("Day")), QStringLiteral("Tag"));

    manager.SetLanguageCode(QStringLiteral("xx"));
    EXPECT_EQ(manager.LastError(), QStringLiteral("Language not found (xx)"));
    EXPECT_EQ(manager.LanguageCode(), QString());
    EXPECT_EQ(manager.LanguageName(), QString());
    EXPECT_TRUE(manager.ActiveFiles().isEmpty());
    EXPECT_EQ(manager.LangText(QStringLiteral("lc_Day"), QStringLiteral("Day")), QStringLiteral("Day"));
    EXPECT_EQ(changes, 1);

    // An empty code changes nothing but the error.
    manager.SetLanguageCode(QStringLiteral("de"));
    manager.SetLanguageCode(QString());
    EXPECT_EQ(manager.LanguageCode(), QStringLiteral("de"));
    EXPECT_EQ(manager.LastError(), QString());
    manager.Refresh();
    EXPECT_EQ(changes, 3);
}

TEST(LangFiles, EncodingsByByteOrderMarkElseUtf8ElseWindows1252)
{
    const QString text = QStringLiteral("[Constants]\nword=Grüße €\n");
    auto utf16 = [&](bool littleEndian) {
        QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (QChar c : text) {
            const char low = static_cast<char>(c.unicode() & 0xFF);
            const char high = static_cast<char>(c.unicode() >> 8);
            bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
        }
        return bytes;
    };
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + text.toUtf8()},
        {"UTF-8 without mark", text.toUtf8()},
        {"UTF-16 LE", utf16(true)},
        {"UTF-16 BE", utf16(false)},
        {"Windows-1252", QByteArray("[Constants]\r\nword=Gr\xFC\xDF" "e \x80\r\n")},
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), c.bytes);
        TLanguageManager manager;
        folder.Aim(manager);
        manager.SetLanguageCode(QStringLiteral("de"));
        EXPECT_EQ(manager.LastError(), QString()) << c.name;
        EXPECT_EQ(manager.LangText(QStringLiteral("word")), QStringLiteral("Grüße €")) << c.name;
    }
}

TEST(LangFiles, BrokenFilesAreReportedAndTheRestLoads)
{
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>((i * 7919 + 13) % 256));
    const struct {
        const char *name;
        QByteArray bytes;
        bool reported;
    } cases[] = {
        {"binary with NUL bytes", noise, true},
        {"UTF-16 mark with an odd byte count", QByteArray("\xFF\xFE[\0C\0o\0n", 9), false},
        {"stray bytes without NUL", QByteArray("\x81\x8D\xFF[Constants\n=\n==\n[]\n]\n[", 25), false},
        {"UTF-8 mark alone", QByteArray("\xEF\xBB\xBF"), false},
    };
    for (const auto &c : cases) {
        TLangFolder folder;
        folder.Write(QStringLiteral("bin/Langs/A.de.lng"), c.bytes);
        folder.Write(QStringLiteral("bin/Langs/B.de.lng"), LangFile("Deutsch", "[Constants]\nok=ja\n"));
        TLanguageManager manager;
        folder.Aim(manager);
        int changes = 0;
        manager.OnLanguageChanged = [&](TLanguageManager *) { ++changes; };
        manager.SetLanguageCode(QStringLiteral("de"));
        EXPECT_EQ(manager.LangText(QStringLiteral("ok")), QStringLiteral("ja")) << c.name;
        EXPECT_EQ(manager.LanguageCode(), QStringLiteral("de")) << c.name;
        if (c.reported) {
            EXPECT_EQ(manager.LastError(),
                      QStringLiteral("File \"%1\" is not a language file.").arg(folder.Path("bin/Langs/A.de.lng")))
                << c.name;
            EXPECT_EQ(Names(manager.ActiveFiles()), QStringList{QStringLiteral("B.de.lng")}) << c.name;
            EXPECT_EQ(changes, 0) << c.name;
        } else {
            EXPECT_EQ(manager.LastError(), QString()) << c.name;
        }
        QStringList languages;
        EXPECT_TRUE(manager.GetAvailableLanguages(languages)) << c.name;
        EXPECT_EQ(languages, QStringList{QStringLiteral("de=Deutsch")}) << c.name;
    }
}

TEST(LangFiles, OversizedAndEndlessFilesAreNotRead)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/B.de.lng"), LangFile("Deutsch", "[Constants]\nok=ja\n"));
    // Sparse, so the disk does not fill up for it.
    QFile big(folder.Write(QStringLiteral("bin/Langs/A.de.lng"), LangFile("Big", "")));
    ASSERT_TRUE(big.resize(kMaxLanguageFileBytes + 1));
    // Neither a device that never ends nor a pipe that waits for a writer is taken for a file.
    QFile::link(QStringLiteral("/dev/zero"), folder.Path(QStringLiteral("bin/Langs/C.de.lngu")));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.Path(QStringLiteral("bin/Langs/D.de.lng"))).constData(), 0600), 0);

    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(manager.LastError(),
              QStringLiteral("File \"%1\" is too large for a language file.").arg(folder.Path("bin/Langs/A.de.lng")));
    EXPECT_EQ(Names(manager.ActiveFiles()), QStringList{QStringLiteral("B.de.lng")});
    EXPECT_EQ(manager.LangText(QStringLiteral("ok")), QStringLiteral("ja"));
    EXPECT_EQ(manager.LanguageName(), QStringLiteral("Deutsch"));
}

TEST(LangFiles, PackedFilesAreListedButNotRead)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lngz"), LangFile("Packed", "[Constants]\nx=y\n"));
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), QByteArray("\0", 1));
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(Names(manager.ActiveFiles()), QStringList{QStringLiteral("Nimbrel.de.lngz")});
    EXPECT_EQ(manager.LangText(QStringLiteral("x"), QStringLiteral("none")), QStringLiteral("none"));
    // The packed file adds an empty line ahead of the real error.
    EXPECT_TRUE(manager.LastError().startsWith(QStringLiteral("File \"")));
    EXPECT_TRUE(manager.LastError().endsWith(QStringLiteral("is not a language file.\r\n")));
    QStringList languages;
    manager.GetAvailableLanguages(languages);
    EXPECT_TRUE(languages.isEmpty());
}

TEST(LangFiles, RecursiveSearchGoesDepthFirstAndSurvivesLoops)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/Nimbrel.de.lng"), LangFile("top", "[Constants]\nwhere=top\n"));
    folder.Write(QStringLiteral("bin/Langs/sub/Nimbrel.de.lng"), LangFile("sub", "[Constants]\nwhere=sub\n"));
    folder.Write(QStringLiteral("bin/Langs/.hidden/Nimbrel.fr.lng"), LangFile("Francais", ""));
    QFile::link(folder.Path(QStringLiteral("bin/Langs")), folder.Path(QStringLiteral("bin/Langs/sub/loop")));

    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(manager.ActiveFiles().size(), 1);
    EXPECT_EQ(manager.LanguageName(), QStringLiteral("top"));

    manager.SetRecursiveFolder(true);
    manager.SetLanguageCode(QStringLiteral("de"));
    EXPECT_EQ(manager.ActiveFiles(), (QStringList{folder.Path("bin/Langs/sub/Nimbrel.de.lng"),
                                                  folder.Path("bin/Langs/Nimbrel.de.lng")}));
    EXPECT_EQ(manager.LanguageName(), QStringLiteral("sub"));
    QStringList languages;
    manager.GetAvailableLanguages(languages);
    EXPECT_EQ(languages, (QStringList{"fr=Francais", "de=sub"}));
}

TEST(LangFiles, ReadingOrderFromAnyFile)
{
    TLangFolder folder;
    folder.Write(QStringLiteral("bin/Langs/A.he.lng"), LangFile("Ivrit", "[Language File]\nrtl=0\n"));
    folder.Write(QStringLiteral("bin/Langs/B.he.lng"), QByteArray("[language file]\nRTL = 1\n"));
    TLanguageManager manager;
    folder.Aim(manager);
    manager.SetLanguageCode(QStringLiteral("he"));
    EXPECT_EQ(manager.BiDiMode(), TBiDiMode::bdRightToLeft);
    folder.Write(QStringLiteral("bin/Langs/B.he.lng"), QByteArray("[language file]\nRTL = no\n"));
    manager.Refresh();
    EXPECT_EQ(manager.BiDiMode(), TBiDiMode::bdLeftToRight);
}

} // namespace
