// Peers for the update tests: update pages built from tag lists, a bare TCP
// peer that answers with fixed bytes (for lengths no HTTP library would
// send), and a gate that holds answers back until the test opens it.
#pragma once

#include "LoopbackServer.h"
#include "RawPeer.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using TTags = std::vector<std::pair<std::string, std::string>>;

// One "<META NAME=... CONTENT=...>" line per tag.
inline std::string MetaPage(const TTags &tags)
{
    std::string page = "<HTML><HEAD>\r\n";
    for (const auto &[name, value] : tags)
        page += "<META NAME=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
    return page + "</HEAD><BODY></BODY></HTML>\r\n";
}

// Server handlers wait at the gate until the test opens it (or for a while at
// most, so that a failing test still ends).
class Gate
{
public:
    ~Gate() { Open(); }
    void Open() { open_ = true; }
    void Wait() const
    {
        constexpr auto kLongest = std::chrono::seconds(10);
        const auto until = std::chrono::steady_clock::now() + kLongest;
        while (!open_ && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

private:
    std::atomic<bool> open_{false};
};
