#include "HttpGet.h"

#include "TrustStore.h"

#include <QFile>

#include <curl/curl.h>

#include <cerrno>
#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

const char kAllowedProtocols[] = "http,https";
const char kSecureProtocols[] = "https";
const char kAbortedText[] = "Aborted";
// How long a transfer that may be cancelled waits on its sockets before it
// looks at the flag again: a closing program must not wait for a silent peer.
constexpr int kCancelPollMs = 50;

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Enough for the fetch and the update check running at once.
constexpr std::size_t kMostIdleHandles = 2;

// Idle handles of one trust (one CaFile), with the share that carries TLS
// sessions and name lookups between them. A handle keeps its open connections,
// so the requests of a refresh go over one. Trusts stay apart: a connection
// or session verified against one file is never used under another.
struct TTrustPool {
    CURLSH *Share = nullptr;
    std::vector<CURL *> Idle;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> Locks;
};

void LockShared(CURL *, curl_lock_data data, curl_lock_access, void *pool)
{
    static_cast<TTrustPool *>(pool)->Locks.at(static_cast<std::size_t>(data)).lock();
}

void UnlockShared(CURL *, curl_lock_data data, void *pool)
{
    static_cast<TTrustPool *>(pool)->Locks.at(static_cast<std::size_t>(data)).unlock();
}

class THandlePool
{
public:
    // A handle for one transfer under `trust`, and the share it is to use;
    // null when libcurl cannot make one.
    CURL *Take(const QByteArray &trust, CURLSH *&share)
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        TTrustPool &pool = PoolOf(trust);
        share = pool.Share;
        if (pool.Idle.empty())
            return curl_easy_init();
        CURL *handle = pool.Idle.back();
        pool.Idle.pop_back();
        return handle;
    }

    void Give(const QByteArray &trust, CURL *handle)
    {
        if (handle == nullptr)
            return;
        // The options go, as they point into the finished transfer; the
        // connections, sessions and the lookup cache stay.
        curl_easy_reset(handle);
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            TTrustPool &pool = PoolOf(trust);
            if (pool.Idle.size() < kMostIdleHandles) {
                pool.Idle.push_back(handle);
                return;
            }
        }
        curl_easy_cleanup(handle);
    }

private:
    TTrustPool &PoolOf(const QByteArray &trust)
    {
        std::unique_ptr<TTrustPool> &pool = FPools[trust];
        if (!pool) {
            pool = std::make_unique<TTrustPool>();
            pool->Share = curl_share_init();
            if (pool->Share != nullptr) {
                curl_share_setopt(pool->Share, CURLSHOPT_LOCKFUNC, LockShared);
                curl_share_setopt(pool->Share, CURLSHOPT_UNLOCKFUNC, UnlockShared);
                curl_share_setopt(pool->Share, CURLSHOPT_USERDATA, pool.get());
                curl_share_setopt(pool->Share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
                curl_share_setopt(pool->Share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
            }
        }
        return *pool;
    }

    std::mutex FMutex;
    std::map<QByteArray, std::unique_ptr<TTrustPool>> FPools;
};

THandlePool &Handles()
{
    EnsureCurlInitialised();
    // Never destroyed: a fetch may still run while the process ends, and the
    // system closes the connections.
    static auto *pool = new THandlePool;
    return *pool;
}

// Returns the handle to the pool when the transfer is done with it.
class THandleLease
{
public:
    explicit THandleLease(const QByteArray &trust) : FTrust(trust) { FHandle = Handles().Take(trust, FShare); }
    ~THandleLease() { Handles().Give(FTrust, FHandle); }
    THandleLease(const THandleLease &) = delete;
    THandleLease &operator=(const THandleLease &) = delete;

    CURL *Handle() const { return FHandle; }
    CURLSH *Share() const { return FShare; }

private:
    QByteArray FTrust;
    CURL *FHandle = nullptr;
    CURLSH *FShare = nullptr;
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
    QByteArray caFile;
    QString trustError; // why the CaFile could not be used

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

struct TMultiDeleter {
    void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
};

// The transfer of `h`, driven in small steps so that a cancel is seen within
// kCancelPollMs however long the peer keeps silent.
CURLcode PerformCancellable(CURL *h, const TTransferState &state)
{
    std::unique_ptr<CURLM, TMultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), h) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    CURLcode code = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            code = CURLE_RECV_ERROR;
            break;
        }
        if (running == 0) {
            int left = 0;
            const CURLMsg *message = curl_multi_info_read(multi.get(), &left);
            code = message != nullptr && message->msg == CURLMSG_DONE ? message->data.result : CURLE_RECV_ERROR;
            break;
        }
        if (state.AbortRequested()) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_poll(multi.get(), nullptr, 0, kCancelPollMs, nullptr) != CURLM_OK) {
            code = CURLE_RECV_ERROR;
            break;
        }
    }
    curl_multi_remove_handle(multi.get(), h);
    return code;
}

bool IsTlsFailure(CURLcode code)
{
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
        return true;
    default:
        return false;
    }
}

THttpFailure FailureOf(CURLcode code, CURL *h, bool tooLarge)
{
    // An announced length over the limit is refused before the body comes.
    if (tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return THttpFailure::TooLarge;
    if (code == CURLE_OPERATION_TIMEDOUT)
        return THttpFailure::TimedOut;
    if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY)
        return THttpFailure::NoRoute;
    if (code == CURLE_COULDNT_CONNECT) {
        long osError = 0;
        if (curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &osError) == CURLE_OK
            && (osError == EHOSTUNREACH || osError == ENETUNREACH))
            return THttpFailure::NoRoute;
        return THttpFailure::Refused;
    }
    if (IsTlsFailure(code))
        return THttpFailure::Tls;
    return THttpFailure::Other;
}

// Each new TLS connection checks its peer against the process's shared store
// instead of parsing the bundle again.
CURLcode UseTrustStore(CURL *, void *sslContext, void *userData)
{
    auto *state = static_cast<TTransferState *>(userData);
    return UseSharedTrustStore(sslContext, state->caFile, state->trustError) ? CURLE_OK : CURLE_SSL_CACERT_BADFILE;
}

} // namespace

THttpTransferResult HttpTransfer(const THttpTransfer &transfer)
{
    THttpTransferResult result;
    const QByteArray caFile = QFile::encodeName(transfer.Options.CaFile);
    const THandleLease curl(caFile);
    if (curl.Handle() == nullptr) {
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

    TTransferState state{&transfer, curl.Handle(), 0, false, false, caFile, QString()};
    char errorText[CURL_ERROR_SIZE] = {};
    CURL *h = curl.Handle();
    curl_easy_setopt(h, CURLOPT_URL, targetBytes.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    // What began encrypted is never sent on in the clear.
    const bool secure = target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, secure ? kSecureProtocols : kAllowedProtocols);
    curl_easy_setopt(h, CURLOPT_USERAGENT, transfer.UserAgent.constData());
    // 1.1, so that the connection stays open for the refresh's next request.
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(h, CURLOPT_SHARE, curl.Share());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options.MaxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.ConnectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, options.TotalTimeoutMs);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxBodyBytes));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L); // worker threads: no SIGALRM for resolver time-outs
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    // libcurl reads nothing itself; the shared store is handed to each
    // connection. A libcurl on another TLS library keeps its own bundle, and
    // cannot add the CaFile to it.
    const bool sharedStore = curl_easy_setopt(h, CURLOPT_SSL_CTX_FUNCTION, UseTrustStore) == CURLE_OK;
    if (sharedStore) {
        curl_easy_setopt(h, CURLOPT_SSL_CTX_DATA, &state);
        curl_easy_setopt(h, CURLOPT_CAINFO, nullptr);
        curl_easy_setopt(h, CURLOPT_CAPATH, nullptr);
#if LIBCURL_VERSION_NUM >= 0x075700
        // libcurl would otherwise keep the first store it saw for a day, and
        // a changed CaFile would not count.
        curl_easy_setopt(h, CURLOPT_CA_CACHE_TIMEOUT, 0L);
#endif
    } else if (!caFile.isEmpty()) {
        state.trustError = QStringLiteral("This libcurl cannot trust the certificate file %1")
                               .arg(transfer.Options.CaFile);
    }
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

    const bool cancellable = transfer.Abort != nullptr || transfer.Options.Cancel;
    CURLcode code = CURLE_OK;
    if (state.AbortRequested())
        code = CURLE_ABORTED_BY_CALLBACK;
    else if (secure && !caFile.isEmpty() &&
             (!state.trustError.isEmpty() || !CheckSharedTrustStore(caFile, state.trustError)))
        code = CURLE_SSL_CACERT_BADFILE; // told even when no connection would come about
    else
        code = cancellable ? PerformCancellable(h, state) : curl_easy_perform(h);

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
    if (result.Aborted) {
        result.Error = QString::fromLatin1(kAbortedText);
        result.Failure = THttpFailure::Cancelled;
    } else if (!result.Complete && !state.stoppedByCaller) {
        result.Error = QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(code));
        if (secure && code == CURLE_UNSUPPORTED_PROTOCOL)
            result.Error = QStringLiteral("Refused a redirection from https to http");
        if (!state.trustError.isEmpty()) {
            result.Error = state.trustError;
            result.Failure = THttpFailure::CaFile;
        } else {
            result.Failure = FailureOf(code, h, state.tooLarge);
        }
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
