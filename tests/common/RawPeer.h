// A bare TCP listener on loopback for peers no HTTP library would play: it takes
// one connection, reads the request and answers `reply` exactly as given, then
// hangs up. An empty reply never answers: the connection stays open and silent
// until the peer is destroyed.
#pragma once

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
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(fd_, 4) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&addr), &length) != 0)
            return; // Port() stays 0
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~RawPeer()
    {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        if (thread_.joinable())
            thread_.join();
    }

    RawPeer(const RawPeer &) = delete;
    RawPeer &operator=(const RawPeer &) = delete;

    int Port() const { return port_; }
    QString Url(const char *path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path));
    }

private:
    void Serve()
    {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0)
            return;
        char buffer[4096];
        (void)::recv(client, buffer, sizeof buffer, 0);
        if (!reply_.empty()) {
            (void)::send(client, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        } else {
            while (!stop_)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::close(client);
    }

    std::string reply_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
