#include "DataFolders.h"

#include <QDir>
#include <QFileInfo>

namespace {

// From <prefix>/bin to <prefix>/share/nimbrel.
constexpr char kInstalledFromBin[] = "../share/";
constexpr char kInstalledLangs[] = "langs";
// The folder the build copies the languages to, and a portable copy keeps them in.
constexpr char kBesideLangs[] = "Langs";
// Marks the top of a build tree.
constexpr char kBuildTreeMark[] = "CMakeCache.txt";
// Executables of a build lie at most this many folders below its top
// (build/tests/app/window/...); looking further up would only find strangers.
constexpr int kBuildTreeLevels = 4;

QString Folder(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

QString BuildTreeAbove(const QString &executableFolder)
{
    QDir dir(executableFolder);
    for (int level = 0; level <= kBuildTreeLevels; ++level) {
        if (QFileInfo(dir.filePath(QLatin1String(kBuildTreeMark))).isFile())
            return Folder(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    return {};
}

void AddOnce(QStringList &list, const QString &folder)
{
    if (!list.contains(folder))
        list.append(folder);
}

} // namespace

TDataFolders FindDataFolders(const QString &executableFolder)
{
    TDataFolders folders;
    if (executableFolder.isEmpty())
        return folders;
    const QString beside = Folder(QDir(executableFolder).absolutePath());
    const QString installed =
        Folder(beside + QLatin1String(kInstalledFromBin) + QLatin1String(kDataFolderName));

    AddOnce(folders.Data, installed);
    AddOnce(folders.Languages, Folder(installed + QLatin1String(kInstalledLangs)));

    AddOnce(folders.Data, beside);
    AddOnce(folders.Languages, Folder(beside + QLatin1String(kBesideLangs)));
    AddOnce(folders.Languages, beside);

    const QString buildTree = BuildTreeAbove(beside);
    if (!buildTree.isEmpty()) {
        AddOnce(folders.Data, buildTree);
        AddOnce(folders.Languages, Folder(buildTree + QLatin1String(kBesideLangs)));
    }
    return folders;
}
