// One fetch of the update check on a thread of its own: the update page as
// text lines, or a download into a file. Progress is reported on the thread
// that owns the object, and the fetch waits until that thread has taken it.
#pragma once

#include "HttpGet.h"

#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <cstdint>

struct TDownloadRequest {
    QString URL;
    // Fetched instead when `URL` names no host.
    QString AltURL;
    QString UserName;
    QString Password;
    std::uint16_t Port = 0; // 0: the scheme's or the address's own
    // Binary: the answer must announce its length, and all of it must arrive.
    bool Binary = false;
    bool SaveToFile = false;
    QString FileName;
    // When set (hexadecimal, any case), a saved file whose SHA-256 differs is
    // not kept and the fetch fails.
    QString ExpectedSha256;
    THttpOptions Options;
};

struct TDownloadResult {
    bool Success = false;
    QString Error;
    QStringList Info; // the lines of a text fetch
    std::int64_t FileSize = 0;       // announced; 0 when not
    std::int64_t DownloadedSize = 0;
    QString Sha256; // of the body, lower-case hexadecimal
};

inline constexpr char kUpdateAgent[] = "TUpdateCheck";
inline constexpr char kChecksumMismatch[] = "Checksum mismatch";

class TDownloadThread : public QThread
{
    Q_OBJECT

public:
    explicit TDownloadThread(TDownloadRequest request, QObject *parent = nullptr);
    // Aborts a running fetch and waits for it to end.
    ~TDownloadThread() override;

    // Asks the running fetch to stop; it then fails.
    void Abort();
    bool Aborted() const { return FAbort.load(); }

    // Valid once the thread has finished.
    const TDownloadResult &Result() const { return FResult; }

signals:
    // After every piece of the body, on the owner's thread.
    void Progress(qint64 fileSize, qint64 downloadedSize);

protected:
    void run() override;

private:
    bool ReportProgress(std::int64_t fileSize, std::int64_t downloaded);

    const TDownloadRequest FRequest;
    TDownloadResult FResult;
    std::atomic<bool> FAbort{false};
    QSemaphore FProgressTaken;
};
