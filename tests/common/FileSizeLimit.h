// A full disk for this process while the object lives: no regular file may grow
// past `bytes` (writes fail with EFBIG instead of the process being signalled).
// Pipes and sockets are not limited, so the test's own output goes on.
#pragma once

#include <csignal>

#include <sys/resource.h>

class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        FSet = getrlimit(RLIMIT_FSIZE, &FOld) == 0;
        if (FSet) {
            rlimit limit = FOld;
            limit.rlim_cur = bytes;
            FSet = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    ~TFileSizeLimit()
    {
        if (FSet)
            setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

    // False when the limit could not be set; the test should then stop.
    bool Active() const { return FSet; }

private:
    rlimit FOld{};
    bool FSet = false;
    void (*FOldHandler)(int) = nullptr;
};
