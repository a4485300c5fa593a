#include "DownloadThread.h"

#include "SafeFile.h"
#include "UpdatePage.h"

#include <QCryptographicHash>
#include <QUrl>

namespace {

// How often a fetch waiting for its progress report looks at the abort flag.
constexpr int kProgressPollMs = 50;
constexpr int kFirstErrorStatus = 400;

QString NoLengthText()
{
    return QStringLiteral("The server did not announce the length of the file");
}

QString IncompleteText(std::int64_t received, std::int64_t announced)
{
    return QStringLiteral("Incomplete download: %1 of %2 bytes").arg(received).arg(announced);
}

// The address the transport gets: the host and path as split, the scheme
// kept, and what a URL may not hold as it stands (blanks) encoded.
QString FetchAddress(const QString &url, const QString &altUrl)
{
    TUrlParts parts = SplitUrl(url);
    if (parts.Host.isEmpty())
        parts = SplitUrl(altUrl);
    if (parts.Host.isEmpty())
        return QString();
    const QString text = (parts.Secure ? QStringLiteral("https://") : QStringLiteral("http://")) + parts.Host
                         + parts.Path;
    return QString::fromLatin1(QUrl(text, QUrl::TolerantMode).toEncoded());
}

} // namespace

TDownloadThread::TDownloadThread(TDownloadRequest request, QObject *parent)
    : QThread(parent)
    , FRequest(std::move(request))
{
}

TDownloadThread::~TDownloadThread()
{
    Abort();
    wait();
}

void TDownloadThread::Abort()
{
    FAbort.store(true);
}

bool TDownloadThread::ReportProgress(std::int64_t fileSize, std::int64_t downloaded)
{
    // The report runs where this object lives; the fetch waits for it unless aborted,
    // so that a closing program never waits on a report nobody will take.
    QMetaObject::invokeMethod(
        this,
        [this, fileSize, downloaded] {
            emit Progress(static_cast<qint64>(fileSize), static_cast<qint64>(downloaded));
            FProgressTaken.release();
        },
        Qt::QueuedConnection);
    while (!FProgressTaken.tryAcquire(1, kProgressPollMs)) {
        if (FAbort.load())
            return false;
    }
    return !FAbort.load();
}

void TDownloadThread::run()
{
    TDownloadResult result;
    const QString address = FetchAddress(FRequest.URL, FRequest.AltURL);
    if (address.isEmpty()) {
        result.Error = QStringLiteral("No host in the address \"%1\"").arg(FRequest.URL);
        FResult = result;
        return;
    }

    // Never written through a link planted where the download goes.
    TPrivateFileWriter file(FRequest.FileName, TLinkRule::ReplaceLink);
    if (FRequest.SaveToFile && !file.Open()) {
        result.Error = QStringLiteral("Cannot write %1: %2").arg(FRequest.FileName, file.ErrorString());
        FResult = result;
        return;
    }

    QByteArray text;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QString bodyError;
    THttpTransfer transfer;
    transfer.Url = address;
    transfer.UserName = FRequest.UserName;
    transfer.Password = FRequest.Password;
    transfer.Port = FRequest.Port;
    transfer.Options = FRequest.Options;
    transfer.UserAgent = kUpdateAgent;
    transfer.Abort = &FAbort;
    transfer.Body = [&](const char *data, std::size_t size) {
        hash.addData(QByteArrayView(data, static_cast<qsizetype>(size)));
        if (!FRequest.SaveToFile) {
            text.append(data, static_cast<qsizetype>(size));
            return true;
        }
        if (file.Write(data, static_cast<qint64>(size)))
            return true;
        bodyError = QStringLiteral("Cannot write %1: %2").arg(FRequest.FileName, file.ErrorString());
        return false;
    };
    transfer.Progress = [&](std::int64_t announced, std::int64_t received) {
        if (FRequest.Binary && announced < 0) {
            bodyError = NoLengthText();
            return false;
        }
        return ReportProgress(announced < 0 ? 0 : announced, received);
    };

    const THttpTransferResult fetched = HttpTransfer(transfer);
    result.FileSize = fetched.ContentLength < 0 ? 0 : fetched.ContentLength;
    result.DownloadedSize = fetched.Received;
    result.Sha256 = QString::fromLatin1(hash.result().toHex());

    if (FAbort.load())
        result.Error = QStringLiteral("Aborted");
    else if (!bodyError.isEmpty())
        result.Error = bodyError;
    else if (fetched.HttpStatus >= kFirstErrorStatus)
        result.Error = QStringLiteral("HTTP status %1").arg(fetched.HttpStatus);
    else if (!fetched.Complete && fetched.ContentLength >= 0 && fetched.Received != fetched.ContentLength)
        result.Error = IncompleteText(fetched.Received, fetched.ContentLength);
    else if (!fetched.Complete)
        result.Error = fetched.Error;
    else if (FRequest.Binary && fetched.ContentLength < 0)
        result.Error = NoLengthText();
    else if (FRequest.Binary && fetched.Received != fetched.ContentLength)
        result.Error = IncompleteText(fetched.Received, fetched.ContentLength);
    else if (!FRequest.Binary && fetched.Received == 0)
        result.Error = QStringLiteral("The answer was empty");
    else if (!FRequest.ExpectedSha256.isEmpty()
             && result.Sha256.compare(FRequest.ExpectedSha256.trimmed(), Qt::CaseInsensitive) != 0)
        result.Error = QString::fromLatin1(kChecksumMismatch);
    else
        result.Success = true;

    if (FRequest.SaveToFile) {
        // The file appears only whole and verified; a failure leaves any older file as it was.
        if (result.Success && !file.Commit()) {
            result.Success = false;
            result.Error = QStringLiteral("Cannot write %1: %2").arg(FRequest.FileName, file.ErrorString());
        } else if (!result.Success) {
            file.Cancel();
        }
    }
    if (result.Success && !FRequest.SaveToFile)
        result.Info = PageLines(text);
    FResult = result;
}
