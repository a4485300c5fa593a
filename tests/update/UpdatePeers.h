// Peers for the update tests: update pages built from tag lists, a bare TCP
// peer that answers with fixed bytes (for lengths no HTTP library would
// send), and a gate that holds answers back until the test opens it.
#pragma once

#include "LoopbackServer.h"

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

// Answers one connection with `reply` as it stands, then hangs up.
class RawPeer
{
public:
    explicit RawPeer(std::string reply) : reply_(std::move(reply))
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd_, 4) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&addr), &length) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~RawPeer()
    {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        if (thread_.joinable())
            thread_.join();
    }

    RawPeer(const RawPeer &) = delete;
    RawPeer &operator=(const RawPeer &) = delete;

    int Port() const { return port_; }
    QString Url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path)); }

private:
    void Serve()
    {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0)
            return;
        char buffer[4096];
        (void)::recv(client, buffer, sizeof buffer, 0);
        (void)::send(client, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        ::close(client);
    }

    std::string reply_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
};

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
