#include "TrustStore.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A bundle rebuilt by the system while nothing watched the file's stamp is
// still picked up within this time.
constexpr auto kLongestStoreAge = std::chrono::hours(1);
// Far above any real bundle (a few hundred KiB): beyond it, the file is no
// certificate list.
constexpr off_t kLargestPemBytes = 16 * 1024 * 1024;

struct TStoreDeleter {
    void operator()(X509_STORE *store) const { X509_STORE_free(store); }
};
using TStorePtr = std::unique_ptr<X509_STORE, TStoreDeleter>;

// What tells that a file was replaced or rewritten.
struct TFileStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    std::int64_t ModifiedNs = 0;

    bool operator==(const TFileStamp &other) const
    {
        return Exists == other.Exists && Device == other.Device && Inode == other.Inode && Size == other.Size &&
               ModifiedNs == other.ModifiedNs;
    }
};

TFileStamp StampOf(const QByteArray &path)
{
    TFileStamp stamp;
    struct stat info {};
    if (path.isEmpty() || ::stat(path.constData(), &info) != 0)
        return stamp;
    stamp.Exists = true;
    stamp.Device = info.st_dev;
    stamp.Inode = info.st_ino;
    stamp.Size = info.st_size;
    stamp.ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return stamp;
}

// Where libcurl itself would look: the bundle and the hashed folder it was built with.
struct TSystemPaths {
    QByteArray Bundle;
    QByteArray Folder;
};

const TSystemPaths &SystemPaths()
{
    static const TSystemPaths paths = [] {
        TSystemPaths found;
        CURL *probe = curl_easy_init();
        char *text = nullptr;
        if (probe != nullptr && curl_easy_getinfo(probe, CURLINFO_CAINFO, &text) == CURLE_OK && text != nullptr)
            found.Bundle = text;
        text = nullptr;
        if (probe != nullptr && curl_easy_getinfo(probe, CURLINFO_CAPATH, &text) == CURLE_OK && text != nullptr)
            found.Folder = text;
        curl_easy_cleanup(probe);
        if (found.Bundle.isEmpty() && found.Folder.isEmpty()) {
            found.Bundle = X509_get_default_cert_file();
            found.Folder = X509_get_default_cert_dir();
        }
        return found;
    }();
    return paths;
}

// The whole of a regular file, refusing what is not one: a pipe or a device
// would block the fetch or never end.
bool ReadRegularFile(const QByteArray &path, QByteArray &contents, QString &error)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        error = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode)) {
        error = QStringLiteral("not a regular file");
        ok = false;
    } else if (info.st_size > kLargestPemBytes) {
        error = QStringLiteral("larger than %1 MiB").arg(kLargestPemBytes / (1024 * 1024));
        ok = false;
    }
    if (ok) {
        contents.resize(static_cast<qsizetype>(info.st_size));
        qsizetype done = 0;
        while (done < contents.size()) {
            const ssize_t got = ::read(fd, contents.data() + done, static_cast<size_t>(contents.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        contents.truncate(done);
    }
    ::close(fd);
    return ok;
}

// Adds every certificate of a PEM text; the number added.
int AddPemCertificates(X509_STORE *store, const QByteArray &pem)
{
    BIO *bio = BIO_new_mem_buf(pem.constData(), static_cast<int>(pem.size()));
    if (bio == nullptr)
        return 0;
    STACK_OF(X509_INFO) *infos = PEM_X509_INFO_read_bio(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    int added = 0;
    for (int i = 0; infos != nullptr && i < sk_X509_INFO_num(infos); ++i) {
        X509_INFO *info = sk_X509_INFO_value(infos, i);
        if (info->x509 == nullptr)
            continue;
        // A certificate already there (the same one in both files) is no fault.
        X509_STORE_add_cert(store, info->x509);
        ++added;
    }
    sk_X509_INFO_pop_free(infos, X509_INFO_free);
    // A parse that stopped at the end of the text leaves an error that libcurl
    // would otherwise report for the handshake.
    ERR_clear_error();
    return added;
}

struct TCachedStore {
    TStorePtr Store;
    TFileStamp Bundle;
    TFileStamp Extra;
    std::chrono::steady_clock::time_point Built;
};

TStorePtr BuildStore(const QByteArray &extraPemFile, QString &error)
{
    TStorePtr store(X509_STORE_new());
    if (!store) {
        error = QStringLiteral("no memory for the certificate store");
        return nullptr;
    }
    // As libcurl sets its own store: a trusted intermediate or a trusted
    // self-signed server certificate ends the chain.
    X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN | X509_V_FLAG_TRUSTED_FIRST);
    QByteArray pem;
    // The user's file first: when it is unusable, the bundle is not read for nothing.
    if (!extraPemFile.isEmpty()) {
        const QString shown = QString::fromLocal8Bit(extraPemFile);
        QString why;
        if (!ReadRegularFile(extraPemFile, pem, why)) {
            error = QStringLiteral("The certificate file %1 cannot be read: %2").arg(shown, why);
            return nullptr;
        }
        if (AddPemCertificates(store.get(), pem) == 0) {
            error = QStringLiteral("The certificate file %1 holds no PEM certificate").arg(shown);
            return nullptr;
        }
    }
    const TSystemPaths &system = SystemPaths();
    QString ignored;
    if (!system.Bundle.isEmpty() && ReadRegularFile(system.Bundle, pem, ignored))
        AddPemCertificates(store.get(), pem);
    // Looked into only for an issuer the bundle lacks.
    if (!system.Folder.isEmpty())
        X509_STORE_load_path(store.get(), system.Folder.constData());
    return store;
}

// The store for `extraPemFile`, built again when a file changed or it is an
// hour old; null with `error` set when that file cannot be used. The caller
// holds the lock.
X509_STORE *CurrentStore(const QByteArray &extraPemFile, QString &error)
{
    static auto *cache = new std::map<QByteArray, TCachedStore>;
    const auto now = std::chrono::steady_clock::now();
    const TFileStamp bundle = StampOf(SystemPaths().Bundle);
    const TFileStamp extra = StampOf(extraPemFile);
    TCachedStore &cached = (*cache)[extraPemFile];
    if (!cached.Store || !(cached.Bundle == bundle) || !(cached.Extra == extra) ||
        now - cached.Built > kLongestStoreAge) {
        cached.Store = BuildStore(extraPemFile, error);
        cached.Bundle = bundle;
        cached.Extra = extra;
        cached.Built = now;
    }
    return cached.Store.get();
}

// Never destroyed: a fetch may still run while the process ends.
std::mutex &StoreMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

} // namespace

bool CheckSharedTrustStore(const QByteArray &extraPemFile, QString &error)
{
    const std::lock_guard<std::mutex> lock(StoreMutex());
    return CurrentStore(extraPemFile, error) != nullptr;
}

bool UseSharedTrustStore(void *sslContext, const QByteArray &extraPemFile, QString &error)
{
    const std::lock_guard<std::mutex> lock(StoreMutex());
    X509_STORE *store = CurrentStore(extraPemFile, error);
    if (store == nullptr)
        return false;
    SSL_CTX_set1_cert_store(static_cast<SSL_CTX *>(sslContext), store);
    return true;
}
