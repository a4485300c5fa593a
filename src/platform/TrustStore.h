// The certificates HTTPS peers are checked against: the system's bundle and,
// when the settings name one, a PEM file trusted besides it. Parsing the
// bundle costs tens of milliseconds, so one store is kept per process and
// shared by every TLS connection; it is read again when a file changes or
// after an hour.
#pragma once

#include <QByteArray>
#include <QString>

// Makes `sslContext` (an OpenSSL SSL_CTX) check peers against the shared
// store for `extraPemFile` (empty: the system's bundle only). False with
// `error` set when that file cannot be used; the system's bundle missing is
// no error here (no peer will then be trusted, as before).
bool UseSharedTrustStore(void *sslContext, const QByteArray &extraPemFile, QString &error);

// The same store made ready ahead of a transfer, so that an unusable file is
// told even when no connection comes about.
bool CheckSharedTrustStore(const QByteArray &extraPemFile, QString &error);
