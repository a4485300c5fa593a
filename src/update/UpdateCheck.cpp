#include "UpdateCheck.h"

#include "UpdatePage.h"
#include "UpdateVersion.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // The thread goes with this object; its own destructor waits for the fetch,
    // which the abort ends within about a second.
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
    FActive = true;
    FInfo.RedirectionURL.clear();
    FDownloadError.clear(); // it tells of this check only
    emit BeforeGetInfo();
    if (!self)
        return true;
    const QString redirection = FInfo.RedirectionURL;
    FInfo = TUpdateInfo();
    FInfo.RedirectionURL = redirection;
    FRedirections = 0;
    FetchPage();
    return true;
}

void TUpdateCheck::End(bool updated)
{
    FActive = false;
    FStage = TStage::Idle;
    emit Finished(updated);
}

TDownloadRequest TUpdateCheck::RequestFor(const QString &url) const
{
    TDownloadRequest request;
    request.URL = url;
    request.AltURL = ProductInfo.URL();
    request.UserName = UserName;
    request.Password = Password;
    request.Port = HTTPPort;
    return request;
}

void TUpdateCheck::FetchPage()
{
    TDownloadRequest request = RequestFor(FInfo.RedirectionURL.isEmpty() ? ProductInfo.URL() : FInfo.RedirectionURL);
    request.Options = PageOptions;
    FFetchingPageURL = SplitUrl(request.URL).Host.isEmpty() ? request.AltURL : request.URL;
    FStage = TStage::Page;
    StartFetch(request);
}

void TUpdateCheck::PageFetched(const TDownloadResult &result)
{
    const QPointer<TUpdateCheck> self(this);
    if (!result.Success) {
        Fail(result.Error);
        if (self)
            InfoRead(false);
        return;
    }
    FPageURL = FFetchingPageURL;
    FInfoList = result.Info;
    FInfo = TUpdateInfo();
    ParseUpdatePage(FInfoList, TagInfo, FInfo);
    if (FInfo.RedirectionURL.isEmpty()) {
        InfoRead(true);
        return;
    }
    if (FRedirections >= kMaxRedirections) {
        Fail(QString::fromLatin1(kTooManyRedirections));
        if (self)
            InfoRead(false);
        return;
    }
    ++FRedirections;
    // A redirection that is no web address lies beside the page that named it.
    FInfo.RedirectionURL = DownloadAddress(FInfo.RedirectionURL, FPageURL);
    FetchPage();
}

void TUpdateCheck::InfoRead(bool fetched)
{
    const QPointer<TUpdateCheck> self(this);
    emit AfterGetInfo();
    if (!self)
        return;
    // Only a page that was read can lack its values; a failed fetch has said why.
    if (fetched && (FInfo.ProductName.isEmpty() || FInfo.ProductVersion.isEmpty())) {
        Fail(QString::fromLatin1(kEmptyInfo));
        fetched = false;
    }
    if (!self)
        return;
    if (!fetched) {
        End(false);
        return;
    }
    if (!IsNewerVersion(ProductInfo.Version, FInfo.ProductVersion, ProductInfo.VersionFormat)) {
        emit NoUpdateFound();
        if (self)
            End(false);
        return;
    }
    bool canUpdate = true;
    emit UpdateAvailable(ProductInfo.Version, FInfo.ProductVersion, FInfo.Page, FInfo.UpdateURL, &canUpdate);
    if (!self)
        return;
    if (!canUpdate) {
        End(false);
        return;
    }
    StartDownload();
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

void TUpdateCheck::StartDownload()
{
    const QPointer<TUpdateCheck> self(this);
    // Every way out below but the download's start ends the check as failed.
    const auto fail = [this, &self](const char *error) {
        Fail(QString::fromLatin1(error));
        if (self)
            End(false);
    };
    FVerified = false;
    FDownloadError = QString::fromLatin1(kGetUpdateFile);
    if (FInfo.UpdateURL.isEmpty()) {
        fail(kNoDownloadAddress);
        return;
    }
    QString fileName = TargetFileName();
    emit GetClientFileName(&fileName);
    if (!self)
        return;
    if (fileName.isEmpty()) {
        fail(kNoClientFileName);
        return;
    }
    if (QFileInfo::exists(fileName)) {
        bool overwrite = Options.testFlag(uoOverwrite);
        if (!overwrite)
            emit ClientFileExists(fileName, &overwrite);
        if (!self)
            return;
        if (!overwrite) {
            fail(kOverwriteError);
            return;
        }
    }

    FDownloadError = QString::fromLatin1(kDownloadStarted);
    emit BeforeDownload(fileName);
    if (!self)
        return;

    TDownloadRequest request = RequestFor(DownloadAddress(FInfo.UpdateURL, ProductInfo.URL()));
    request.Binary = true;
    request.SaveToFile = true;
    request.FileName = fileName;
    request.ExpectedSha256 = FInfo.SHA256;
    request.Options = DownloadOptions;
    FDownloadFile = fileName;
    FStage = TStage::Download;
    StartFetch(request);
}

void TUpdateCheck::DownloadFetched(const TDownloadResult &result)
{
    const QPointer<TUpdateCheck> self(this);
    if (!result.Success) {
        Fail(result.Error);
        if (self)
            End(false);
        return;
    }
    // Whole and of the announced length, but only a hash named by the page
    // vouches for what it is.
    FVerified = !FInfo.SHA256.trimmed().isEmpty();
    FLastFileName = FDownloadFile;
    emit AfterDownload(FDownloadFile);
    if (!self)
        return;
    if (Options.testFlag(uoRunUpdate) && FVerified && FileOpener) {
        if (!FileOpener(FLastFileName, FInfo.RunParameters)) {
            emit CannotExecute();
            if (!self)
                return;
        } else if (Options.testFlag(uoTerminate)) {
            QCoreApplication::quit();
        }
    }
    End(true);
}

void TUpdateCheck::StartFetch(const TDownloadRequest &request)
{
    auto *thread = new TDownloadThread(request, this);
    FThread = thread;
    connect(thread, &TDownloadThread::Progress, this, &TUpdateCheck::Download);
    connect(thread, &QThread::finished, this, &TUpdateCheck::FetchEnded);
    thread->start();
}

void TUpdateCheck::FetchEnded()
{
    TDownloadThread *thread = FThread;
    if (thread == nullptr)
        return;
    // The signal comes from the thread's last moments; its end is a moment away.
    thread->wait();
    const TDownloadResult result = thread->Result();
    FThread = nullptr;
    thread->deleteLater();
    if (FStage == TStage::Page)
        PageFetched(result);
    else if (FStage == TStage::Download)
        DownloadFetched(result);
}
