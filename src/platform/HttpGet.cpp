#include "HttpGet.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

const char kUserAgent[] = "agent";
const char kAllowedProtocols[] = "http,https";

struct TBodySink {
    QByteArray *stream;
    std::int64_t maxBytes;
};

size_t WriteBody(char *data, size_t size, size_t count, void *userData)
{
    auto *sink = static_cast<TBodySink *>(userData);
    const size_t bytes = size * count;
    if (static_cast<std::int64_t>(sink->stream->size()) + static_cast<std::int64_t>(bytes)
        > sink->maxBytes)
        return 0; // makes libcurl stop with a write error
    sink->stream->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Errors after which what arrived is still the peer's answer, only shorter.
bool KeepsPartialBody(CURLcode code)
{
    return code == CURLE_OK || code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR;
}

int CancelProgress(void *cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(cancel)->load() ? 1 : 0; // non-zero aborts
}

struct TCurlDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct TSListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

} // namespace

bool HttpGetToStream(const QString &url, const QString &userName, const QString &password,
                     QByteArray &stream, std::uint16_t port, const THttpOptions &options,
                     int *httpStatus)
{
    stream.clear();
    if (httpStatus)
        *httpStatus = 0;
    EnsureCurlInitialised();

    std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl)
        return false;

    QString target = url;
    const QString lower = url.toLower();
    if (!lower.startsWith(QLatin1String("http://")) && !lower.startsWith(QLatin1String("https://")))
        target.prepend(QLatin1String("http://"));
    const QByteArray targetBytes = target.toUtf8();
    const QByteArray userBytes = userName.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();

    // The answer must come from the server, never from a cache on the way.
    std::unique_ptr<curl_slist, TSListDeleter> headers(
        curl_slist_append(nullptr, "Pragma: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Cache-Control: no-cache"));

    TBodySink sink{&stream, options.MaxBodyBytes};
    CURL *h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, targetBytes.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
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
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    if (port != 0)
        curl_easy_setopt(h, CURLOPT_PORT, static_cast<long>(port));
    if (!userName.isEmpty() || !password.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, userBytes.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, passwordBytes.constData());
    }

    if (options.Cancel) {
        if (options.Cancel->load())
            return false;
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, CancelProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool> *>(options.Cancel.get()));
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode code = curl_easy_perform(h);
    if (!KeepsPartialBody(code))
        stream.clear();
    long status = 0;
    if (httpStatus && curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK)
        *httpStatus = static_cast<int>(status);
    return !stream.isEmpty();
}
