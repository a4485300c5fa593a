#include "UpdateCheck.h"

#include "UpdatePage.h"
#include "UpdateVersion.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include <stdlib.h>

namespace {

const char kNoDownloadAddress[] = "No download address";

// A download needs room; the page itself is small.
constexpr std::int64_t kMaxDownloadBytes = 512LL * 1024 * 1024;
constexpr long kDownloadTimeoutMs = 30L * 60 * 1000;
constexpr std::int64_t kMaxPageBytes = 1024 * 1024;
// mkdtemp's pattern for the folder of a download with no folder of its own.
constexpr char kFreshFolderPattern[] = "nimbrel-update-XXXXXX";

bool OpenWithDesktop(const QString &fileName, const QString &)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

// Only the name counts: a page must not steer the download into another folder.
QString PlainFileName(const QString &name)
{
    const QString plain = QFileInfo(name).fileName();
    return plain == QLatin1String(".") || plain == QLatin1String("..") ? QString() : plain;
}

// Clears the active mark on every way out, unless the check went away meanwhile.
class TActiveMark
{
public:
    explicit TActiveMark(TUpdateCheck *check, bool &active) : FCheck(check), FActive(active) { FActive = true; }
    ~TActiveMark()
    {
        if (FCheck)
            FActive = false;
    }
    TActiveMark(const TActiveMark &) = delete;
    TActiveMark &operator=(const TActiveMark &) = delete;

private:
    QPointer<TUpdateCheck> FCheck;
    bool &FActive;
};

} // namespace

TUpdateCheck::TUpdateCheck(QObject *parent)
    : QObject(parent)
    , FileOpener(OpenWithDesktop)
{
    PageOptions.MaxBodyBytes = kMaxPageBytes;
    DownloadOptions.MaxBodyBytes = kMaxDownloadBytes;
    DownloadOptions.TotalTimeoutMs = kDownloadTimeoutMs;
}

TUpdateCheck::~TUpdateCheck()
{
    // A check waiting in its own event loop must leave it; it sees that it is gone.
    if (FWaitLoop)
        FWaitLoop->quit();
    if (FThread)
        FThread->Abort();
}

void TUpdateCheck::Abort()
{
    if (FThread)
        FThread->Abort();
}

void TUpdateCheck::Fail(const QString &error)
{
    FDownloadError = error;
    emit DownloadFailed();
}

bool TUpdateCheck::CheckForAnUpdate()
{
    if (FActive)
        return false;
    const QPointer<TUpdateCheck> self(this);
    TActiveMark mark(this, FActive);

    FInfo.RedirectionURL.clear();
    FDownloadError.clear(); // it tells of this check only
    emit BeforeGetInfo();
    if (!self)
        return false;
    bool fetched = GetInfo();
    if (!self)
        return false;
    emit AfterGetInfo();
    if (!self)
        return false;

    // Only a page that was read can lack its values; a failed fetch has said why.
    if (fetched && (FInfo.ProductName.isEmpty() || FInfo.ProductVersion.isEmpty())) {
        Fail(QString::fromLatin1(kEmptyInfo));
        fetched = false;
    }
    if (!self || !fetched)
        return false;

    if (!IsNewerVersion(ProductInfo.Version, FInfo.ProductVersion, ProductInfo.VersionFormat)) {
        emit NoUpdateFound();
        return false;
    }
    bool canUpdate = true;
    emit UpdateAvailable(ProductInfo.Version, FInfo.ProductVersion, FInfo.Page, FInfo.UpdateURL, &canUpdate);
    if (!self || !canUpdate)
        return false;
    if (!DownloadUpdate() || !self)
        return false;
    if (Options.testFlag(uoRunUpdate) && FVerified && FileOpener) {
        if (!FileOpener(FLastFileName, FInfo.RunParameters)) {
            emit CannotExecute();
        } else if (Options.testFlag(uoTerminate)) {
            QCoreApplication::quit();
        }
    }
    return true;
}

bool TUpdateCheck::GetInfo()
{
    const QPointer<TUpdateCheck> self(this);
    const QString redirection = FInfo.RedirectionURL;
    FInfo = TUpdateInfo();
    FInfo.RedirectionURL = redirection;

    for (int redirections = 0;; ++redirections) {
        TDownloadRequest request;
        request.URL = FInfo.RedirectionURL.isEmpty() ? ProductInfo.URL() : FInfo.RedirectionURL;
        request.AltURL = ProductInfo.URL();
        request.UserName = UserName;
        request.Password = Password;
        request.Port = HTTPPort;
        request.Options = PageOptions;
        const std::optional<TDownloadResult> result = Fetch(request);
        if (!result || !self)
            return false;
        if (!result->Success) {
            Fail(result->Error);
            return false;
        }
        FPageURL = SplitUrl(request.URL).Host.isEmpty() ? request.AltURL : request.URL;
        FInfoList = result->Info;
        FInfo = TUpdateInfo();
        ParseUpdatePage(FInfoList, TagInfo, FInfo);
        if (FInfo.RedirectionURL.isEmpty())
            return true;
        if (redirections >= kMaxRedirections) {
            Fail(QString::fromLatin1(kTooManyRedirections));
            return false;
        }
        // A redirection that is no web address lies beside the page that named it.
        FInfo.RedirectionURL = DownloadAddress(FInfo.RedirectionURL, FPageURL);
    }
}

QString TUpdateCheck::TargetFileName()
{
    QString name = PlainFileName(FInfo.ClientFileName);
    if (name.isEmpty())
        name = PlainFileName(QUrl(DownloadAddress(FInfo.UpdateURL, ProductInfo.URL())).fileName());
    if (name.isEmpty())
        return QString();
    if (!TargetFolder.isEmpty() && QDir(TargetFolder).exists())
        return QDir(TargetFolder).filePath(name);
    // Not the shared temporary folder itself, where another user may have put
    // a link under the name the page chose: a new folder of this user alone.
    QByteArray fresh = QFile::encodeName(QDir(QDir::tempPath()).filePath(QLatin1String(kFreshFolderPattern)));
    if (::mkdtemp(fresh.data()) == nullptr)
        return QString();
    return QDir(QFile::decodeName(fresh)).filePath(name);
}

bool TUpdateCheck::DownloadUpdate()
{
    const QPointer<TUpdateCheck> self(this);
    FVerified = false;
    FDownloadError = QString::fromLatin1(kGetUpdateFile);
    if (FInfo.UpdateURL.isEmpty()) {
        Fail(QString::fromLatin1(kNoDownloadAddress));
        return false;
    }
    QString fileName = TargetFileName();
    emit GetClientFileName(&fileName);
    if (!self)
        return false;
    if (fileName.isEmpty()) {
        Fail(QString::fromLatin1(kNoClientFileName));
        return false;
    }
    if (QFileInfo::exists(fileName)) {
        bool overwrite = Options.testFlag(uoOverwrite);
        if (!overwrite)
            emit ClientFileExists(fileName, &overwrite);
        if (!self)
            return false;
        if (!overwrite) {
            Fail(QString::fromLatin1(kOverwriteError));
            return false;
        }
    }

    FDownloadError = QString::fromLatin1(kDownloadStarted);
    emit BeforeDownload(fileName);
    if (!self)
        return false;

    TDownloadRequest request;
    request.URL = DownloadAddress(FInfo.UpdateURL, ProductInfo.URL());
    request.AltURL = ProductInfo.URL();
    request.UserName = UserName;
    request.Password = Password;
    request.Port = HTTPPort;
    request.Binary = true;
    request.SaveToFile = true;
    request.FileName = fileName;
    request.ExpectedSha256 = FInfo.SHA256;
    request.Options = DownloadOptions;
    const std::optional<TDownloadResult> result = Fetch(request);
    if (!result || !self)
        return false;
    if (!result->Success) {
        Fail(result->Error);
        return false;
    }
    // Whole and of the announced length, but only a hash named by the page
    // vouches for what it is.
    FVerified = !FInfo.SHA256.trimmed().isEmpty();
    FLastFileName = fileName;
    emit AfterDownload(fileName);
    return true;
}

std::optional<TDownloadResult> TUpdateCheck::Fetch(const TDownloadRequest &request)
{
    const QPointer<TUpdateCheck> self(this);
    auto *thread = new TDownloadThread(request, this);
    FThread = thread;
    connect(thread, &TDownloadThread::Progress, this, &TUpdateCheck::Download);
    QEventLoop loop;
    FWaitLoop = &loop;
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    if (!thread->isFinished())
        loop.exec();
    if (!self)
        return std::nullopt; // the thread went with its parent
    FWaitLoop = nullptr;
    // The loop also ends when the program quits; the fetch then stops too.
    if (!thread->isFinished()) {
        thread->Abort();
        thread->wait();
    }
    const TDownloadResult result = thread->Result();
    FThread = nullptr;
    delete thread;
    return result;
}
