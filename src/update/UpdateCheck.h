// Asks the maker's update page whether a newer version exists, tells through
// its signals, and on request downloads the new version. Each fetch runs on a
// worker thread; the check goes on when the thread says it has finished, so
// the calling (UI) thread never waits for the network.
#pragma once

#include "DownloadThread.h"
#include "UpdateTypes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <functional>

// Texts DownloadError() holds besides the transport's own.
inline constexpr char kEmptyInfo[] = "empty info";
inline constexpr char kGetUpdateFile[] = "GetUpdateFile";
inline constexpr char kOverwriteError[] = "Overwrite error";
inline constexpr char kDownloadStarted[] = "Download started";
inline constexpr char kTooManyRedirections[] = "Too many redirections";
inline constexpr char kNoClientFileName[] = "No file name for the download";

// A page may send the check on to another page this many times; a chain that
// goes on (or turns in a circle) ends as a failure.
inline constexpr int kMaxRedirections = 5;

class TUpdateCheck : public QObject
{
    Q_OBJECT

public:
    // Opens a downloaded file with its parameters; false when that failed.
    using TFileOpener = std::function<bool(const QString &fileName, const QString &parameters)>;

    explicit TUpdateCheck(QObject *parent = nullptr);
    // Aborts a running fetch.
    ~TUpdateCheck() override;

    // Starts a check; false when one is already running. Finished tells its end.
    bool CheckForAnUpdate();
    // Asks the running fetch to stop.
    void Abort();

    TProductInfo ProductInfo;
    TTagInfo TagInfo;
    QString UserName;
    QString Password;
    TUpdateOptions Options = TUpdateOptions(uoRunUpdate) | uoTerminate;
    QString TargetFolder;
    std::uint16_t HTTPPort = 0; // 0: the port of the address or its scheme
    THttpOptions PageOptions;     // bounds of the page fetch
    THttpOptions DownloadOptions; // bounds of the download
    // Opens a verified download (uoRunUpdate); the desktop's default by default.
    TFileOpener FileOpener;

    // The last check's findings.
    const TUpdateInfo &Info() const { return FInfo; }
    QString ProductName() const { return FInfo.ProductName; }
    QString ProductVersion() const { return FInfo.ProductVersion; }
    QString UpdateURL() const { return FInfo.UpdateURL; }
    QString ClientFileName() const { return FInfo.ClientFileName; }
    QString RedirectionURL() const { return FInfo.RedirectionURL; }
    QString Page() const { return FInfo.Page; }
    QString DownloadError() const { return FDownloadError; }
    // The address the page was last read from (after redirections).
    QString PageURL() const { return FPageURL; }
    // The lines of the page last read.
    const QStringList &InfoList() const { return FInfoList; }
    bool Active() const { return FActive; }
    // Only a verified download is opened: one whose page named a SHA256 value
    // that its hash matched.
    bool Verified() const { return FVerified; }
    // The file of the last download that succeeded.
    QString DownloadedFile() const { return FLastFileName; }
    // The running fetch's thread, null when none.
    QThread *Thread() const { return FThread; }

signals:
    // The check has ended: `updated` only when an update was downloaded; false
    // when none was found, the check failed or the receiver of
    // UpdateAvailable declined. Not sent when the check is destroyed first.
    void Finished(bool updated);
    void BeforeGetInfo();
    void AfterGetInfo();
    // Leave *canUpdate true to have the update downloaded.
    void UpdateAvailable(const QString &currentVersion, const QString &newVersion, const QString &page,
                         const QString &download, bool *canUpdate);
    void NoUpdateFound();
    void DownloadFailed();
    void Download(qint64 fileSize, qint64 downloadedSize);
    void BeforeDownload(const QString &fileName);
    void AfterDownload(const QString &fileName);
    void GetClientFileName(QString *fileName);
    void ClientFileExists(const QString &fileName, bool *overwrite);
    void CannotExecute();

private:
    // What the fetch under way is for.
    enum class TStage { Idle, Page, Download };

    void FetchPage();
    void PageFetched(const TDownloadResult &result);
    void InfoRead(bool fetched);
    void StartDownload();
    void DownloadFetched(const TDownloadResult &result);
    void StartFetch(const TDownloadRequest &request);
    void FetchEnded();
    void End(bool updated);
    void Fail(const QString &error);
    TDownloadRequest RequestFor(const QString &url) const;
    QString TargetFileName();

    TUpdateInfo FInfo;
    QStringList FInfoList;
    QString FDownloadError;
    QString FPageURL;
    QString FLastFileName;
    bool FActive = false;
    bool FVerified = true;
    QPointer<TDownloadThread> FThread;
    TStage FStage = TStage::Idle;
    int FRedirections = 0;
    QString FFetchingPageURL; // the page under way, PageURL once it is read
    QString FDownloadFile;    // where the download under way goes
};
