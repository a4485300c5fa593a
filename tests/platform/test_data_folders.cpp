#include "DataFolders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Folders given relative to the temporary tree.
QStringList Under(const QString &root, std::initializer_list<const char *> relative)
{
    QStringList folders;
    for (const char *name : relative)
        folders.append(root + QLatin1Char('/') + QString::fromUtf8(name));
    return folders;
}

TEST(DataFolders, InstalledFirstThenBesideTheExecutableThenTheBuildTree)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = QDir(dir.path()).canonicalPath();
    for (const char *folder : {"prefix/bin", "build/src/app", "deep/a/b/c/d/e"})
        ASSERT_TRUE(QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder)));
    for (const char *mark : {"build/CMakeCache.txt", "deep/CMakeCache.txt"}) {
        QFile file(root + QLatin1Char('/') + QLatin1String(mark));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    const struct {
        const char *name;
        const char *executableFolder;
        std::initializer_list<const char *> data;
        std::initializer_list<const char *> languages;
    } cases[] = {
        {"an installed program", "prefix/bin",
         {"prefix/share/nimbrel/", "prefix/bin/"},
         {"prefix/share/nimbrel/langs/", "prefix/bin/Langs/", "prefix/bin/"}},
        {"a path with dots and doubled separators is cleaned", "prefix//bin/../bin/",
         {"prefix/share/nimbrel/", "prefix/bin/"},
         {"prefix/share/nimbrel/langs/", "prefix/bin/Langs/", "prefix/bin/"}},
        {"a program in a build tree", "build/src/app",
         {"build/src/share/nimbrel/", "build/src/app/", "build/"},
         {"build/src/share/nimbrel/langs/", "build/src/app/Langs/", "build/src/app/", "build/Langs/"}},
        {"a program at the top of its build tree lists that folder once", "build",
         {"share/nimbrel/", "build/"},
         {"share/nimbrel/langs/", "build/Langs/", "build/"}},
        {"a build tree too far above is not the program's", "deep/a/b/c/d/e",
         {"deep/a/b/c/d/share/nimbrel/", "deep/a/b/c/d/e/"},
         {"deep/a/b/c/d/share/nimbrel/langs/", "deep/a/b/c/d/e/Langs/", "deep/a/b/c/d/e/"}},
    };
    for (const auto &c : cases) {
        const TDataFolders folders = FindDataFolders(root + QLatin1Char('/') + QLatin1String(c.executableFolder));
        EXPECT_EQ(folders.Data, Under(root, c.data)) << c.name;
        EXPECT_EQ(folders.Languages, Under(root, c.languages)) << c.name;
    }
}

TEST(DataFolders, NoExecutableFolderListsNothing)
{
    const TDataFolders folders = FindDataFolders(QString());
    EXPECT_TRUE(folders.Data.isEmpty());
    EXPECT_TRUE(folders.Languages.isEmpty());
}

TEST(DataFolders, ThisTestFindsTheBuildTreeItWasBuiltIn)
{
    const TDataFolders folders = FindDataFolders(QCoreApplication::applicationDirPath());
    const QString buildTree = QDir(QStringLiteral(NIMBREL_BINARY_DIR)).canonicalPath() + QLatin1Char('/');
    ASSERT_FALSE(folders.Data.isEmpty());
    EXPECT_EQ(folders.Data.last(), buildTree);
    EXPECT_EQ(folders.Languages.last(), buildTree + QStringLiteral("Langs/"));
}

} // namespace
