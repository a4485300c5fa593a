#include "HttpGet.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

const char kAllowedProtocols[] = "http,https";
const char kSecureProtocols[] = "https";
const char kAbortedText[] = "Aborted";

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TCurlDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct TSListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

// What the callbacks of one transfer share.
struct TTransferState {
    const THttpTransfer *transfer;
    CURL *handle;
    std::int64_t received = 0;
    bool stoppedByCaller = false;
    bool tooLarge = false;

    bool AbortRequested() const
    {
        const std::atomic<bool> *cancel = transfer->Options.Cancel.get();
        return (transfer->Abort != nullptr && transfer->Abort->load()) || (cancel != nullptr && cancel->load());
    }
};

size_t WriteBody(char *data, size_t size, size_t count, void *userData)
{
    auto *state = static_cast<TTransferState *>(userData);
    const size_t bytes = size * count;
    const THttpTransfer &transfer = *state->transfer;
    if (state->AbortRequested())
        return 0; // makes libcurl stop with a write error
    if (state->received + static_cast<std::int64_t>(bytes) > transfer.Options.MaxBodyBytes) {
        state->tooLarge = true;
        return 0;
    }
    if (transfer.Body && !transfer.Body(data, bytes)) {
        state->stoppedByCaller = true;
        return 0;
    }
    state->received += static_cast<std::int64_t>(bytes);
    if (transfer.Progress) {
        curl_off_t announced = -1;
        if (curl_easy_getinfo(state->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK)
            announced = -1;
        if (!transfer.Progress(static_cast<std::int64_t>(announced), state->received)) {
            state->stoppedByCaller = true;
            return 0;
        }
    }
    return bytes;
}

// libcurl calls this about once a second even while nothing arrives, so an
// abort also ends a connect or a silent peer.
int CheckAbort(void *userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const TTransferState *>(userData)->AbortRequested() ? 1 : 0;
}

} // namespace

THttpTransferResult HttpTransfer(const THttpTransfer &transfer)
{
    THttpTransferResult result;
    EnsureCurlInitialised();

    std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.Error = QStringLiteral("The transfer could not be set up");
        return result;
    }

    QString target = transfer.Url;
    const QString lower = target.toLower();
    if (!lower.startsWith(QLatin1String("http://")) && !lower.startsWith(QLatin1String("https://")))
        target.prepend(QLatin1String("http://"));
    const QByteArray targetBytes = target.toUtf8();
    const QByteArray userBytes = transfer.UserName.toUtf8();
    const QByteArray passwordBytes = transfer.Password.toUtf8();
    const THttpOptions &options = transfer.Options;

    // The answer must come from the server, never from a cache on the way.
    std::unique_ptr<curl_slist, TSListDeleter> headers(
        curl_slist_append(nullptr, "Pragma: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Cache-Control: no-cache"));

    TTransferState state{&transfer, curl.get()};
    char errorText[CURL_ERROR_SIZE] = {};
    CURL *h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, targetBytes.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    // What began encrypted is never sent on in the clear.
    const bool secure = target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, secure ? kSecureProtocols : kAllowedProtocols);
    curl_easy_setopt(h, CURLOPT_USERAGENT, transfer.UserAgent.constData());
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options.MaxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.ConnectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, options.TotalTimeoutMs);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxBodyBytes));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L); // worker threads: no SIGALRM for resolver time-outs
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);
    if (transfer.Abort != nullptr || transfer.Options.Cancel) {
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, CheckAbort);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    }
    if (transfer.Port != 0)
        curl_easy_setopt(h, CURLOPT_PORT, static_cast<long>(transfer.Port));
    if (!transfer.UserName.isEmpty() || !transfer.Password.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, userBytes.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, passwordBytes.constData());
    }

    const CURLcode code = state.AbortRequested() ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(h);

    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK)
        result.HttpStatus = static_cast<int>(status);
    curl_off_t announced = -1;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK)
        result.ContentLength = static_cast<std::int64_t>(announced);
    result.Received = state.received;
    result.Aborted = state.AbortRequested();
    result.Complete = code == CURLE_OK && !result.Aborted;
    result.CutShort = !result.Aborted && state.received > 0
                      && (code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR);
    if (result.Aborted)
        result.Error = QString::fromLatin1(kAbortedText);
    else if (!result.Complete && !state.stoppedByCaller) {
        result.Error = QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(code));
        if (secure && code == CURLE_UNSUPPORTED_PROTOCOL)
            result.Error = QStringLiteral("Refused a redirection from https to http");
        // An announced length over the limit is refused before the body comes.
        if (state.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
            result.Failure = THttpFailure::TooLarge;
        else if (code == CURLE_OPERATION_TIMEDOUT)
            result.Failure = THttpFailure::TimedOut;
        else
            result.Failure = THttpFailure::Other;
    }
    return result;
}

bool HttpGetToStream(const QString &url, const QString &userName, const QString &password,
                     QByteArray &stream, std::uint16_t port, const THttpOptions &options,
                     int *httpStatus, THttpFailure *failure)
{
    stream.clear();
    THttpTransfer transfer;
    transfer.Url = url;
    transfer.UserName = userName;
    transfer.Password = password;
    transfer.Port = port;
    transfer.Options = options;
    transfer.Body = [&stream](const char *data, std::size_t size) {
        stream.append(data, static_cast<qsizetype>(size));
        return true;
    };
    const THttpTransferResult result = HttpTransfer(transfer);
    if (httpStatus)
        *httpStatus = result.HttpStatus;
    if (failure)
        *failure = result.Failure;
    // What arrived before the peer hung up is still the peer's answer, only shorter.
    if (!result.Complete && !result.CutShort)
        stream.clear();
    return !stream.isEmpty();
}
