// Blocking HTTP GETs. Safe to call from worker threads: they touch no Qt object
// but the strings, buffers and callbacks they are given.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// Set once, from any thread, to stop the fetches that hold it.
using TCancelFlag = std::shared_ptr<const std::atomic<bool>>;

struct THttpOptions {
    // A desktop applet must never hang or be flooded, so every fetch is bounded.
    long ConnectTimeoutMs = 10'000;
    long TotalTimeoutMs = 30'000;
    std::int64_t MaxBodyBytes = 4 * 1024 * 1024;
    long MaxRedirects = 5;
    // Once set, a running fetch ends within about a second and a new one at
    // once, both as failures: a program that is closing need not wait for a
    // slow peer.
    TCancelFlag Cancel;
    // A PEM file of certificates trusted for HTTPS besides the system's (a
    // private service, a proxy that inspects TLS). Empty: the system's only.
    QString CaFile;
};

// Why a transfer did not complete, where a user can be told more than that
// nothing came.
enum class THttpFailure {
    None,
    TimedOut,  // the peer did not connect or answer whole within the time-outs
    TooLarge,  // the answer was longer than MaxBodyBytes
    CaFile,    // Options.CaFile could not be read or holds no certificate
    Other,
    Refused,   // the host answered, but nothing listens on the port
    NoRoute,   // the name is unknown, or the host or its network cannot be reached
    Tls,       // the secure connection could not be set up or verified
    Cancelled, // Options.Cancel or the transfer's Abort was set
};

// Handles, connections, TLS sessions and the trusted certificates are kept
// between transfers of the same CaFile, so the requests of one refresh share a
// connection and the system's bundle is parsed once, not for every request.

// Fetches `url` into `stream` (emptied first). A URL without "http://" or
// "https://" is fetched over plain HTTP; a non-zero `port` replaces the scheme's
// port. Certificates are verified; the proxy comes from the usual environment
// variables. Returns true when at least one body byte arrived. A time-out, an
// over-long body, a redirect loop or any other transport failure leaves the
// stream empty and returns false; a body cut short by the peer is kept.
// `httpStatus`, when given, receives the status of the last answer (after
// redirects), 0 when none arrived; `failure`, why the transfer did not complete.
bool HttpGetToStream(const QString &url, const QString &userName, const QString &password,
                     QByteArray &stream, std::uint16_t port = 0,
                     const THttpOptions &options = THttpOptions(), int *httpStatus = nullptr,
                     THttpFailure *failure = nullptr);

// One GET whose body is handed over piece by piece as it arrives, with progress
// and a way to stop it: for downloads that go to a file and report how far they are.
struct THttpTransfer {
    QString Url; // without "http://" or "https://", plain HTTP
    QString UserName;
    QString Password;
    std::uint16_t Port = 0; // 0: the scheme's or the URL's own port
    THttpOptions Options;
    QByteArray UserAgent = "agent";
    // Each piece of the final answer's body, in order. False stops the transfer
    // as failed (a full disk, say).
    std::function<bool(const char *data, std::size_t size)> Body;
    // After each piece: the announced length (-1 when the answer named none)
    // and the bytes so far. False stops the transfer as failed.
    std::function<bool(std::int64_t announced, std::int64_t received)> Progress;
    // Set from any thread, it stops the transfer within about a second (as
    // Options.Cancel does).
    const std::atomic<bool> *Abort = nullptr;
};

struct THttpTransferResult {
    // The answer arrived whole (whatever its status).
    bool Complete = false;
    // Some of the body arrived before the peer hung up or the length fell short.
    bool CutShort = false;
    bool Aborted = false;
    int HttpStatus = 0;                // of the last answer, after redirects; 0 when none came
    std::int64_t ContentLength = -1;   // as announced by the last answer; -1 when not
    std::int64_t Received = 0;         // body bytes handed to Body
    QString Error;                     // why the transfer did not complete; empty when it did
    THttpFailure Failure = THttpFailure::None; // its kind; None when stopped by a callback
};

THttpTransferResult HttpTransfer(const THttpTransfer &transfer);
