// What every fuzz target shares: a check that ends the run as a finding, and a
// scratch folder for the inputs that are read from a file.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: libFuzzer saves the input on abort.
#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,      \
                         #condition);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (false)

inline QByteArray FuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// One folder for the whole run, removed when the process ends normally.
inline const QString &FuzzScratchFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/nimbrel-fuzz-XXXXXX"));
    static const QString path = folder.path() + QLatin1Char('/');
    return path;
}
