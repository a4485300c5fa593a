// One blocking HTTP GET into memory. Safe to call from worker threads: it touches
// no Qt object but the strings and the buffer it is given.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

struct THttpOptions {
    // A desktop applet must never hang or be flooded, so every fetch is bounded.
    long ConnectTimeoutMs = 10'000;
    long TotalTimeoutMs = 30'000;
    std::int64_t MaxBodyBytes = 4 * 1024 * 1024;
    long MaxRedirects = 5;
    // Once set, a running fetch ends within about a second and a new one at
    // once, both as failures: a program that is closing need not wait for a
    // slow peer.
    std::shared_ptr<const std::atomic<bool>> Cancel;
};

// Fetches `url` into `stream` (emptied first). A URL without "http://" or
// "https://" is fetched over plain HTTP; a non-zero `port` replaces the scheme's
// port. Certificates are verified; the proxy comes from the usual environment
// variables. Returns true when at least one body byte arrived. A time-out, an
// over-long body, a redirect loop or any other transport failure leaves the
// stream empty and returns false; a body cut short by the peer is kept.
// `httpStatus`, when given, receives the status of the last answer (after
// redirects), 0 when none arrived.
bool HttpGetToStream(const QString &url, const QString &userName, const QString &password,
                     QByteArray &stream, std::uint16_t port = 0,
                     const THttpOptions &options = THttpOptions(), int *httpStatus = nullptr);
