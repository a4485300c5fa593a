// A loopback port that is bound but never listens: connections to it are
// refused, and while it is held no other test running in parallel can take it.
#pragma once

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class RefusingPort
{
public:
    RefusingPort()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd_ < 0)
            return;
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0
            && ::getsockname(fd_, reinterpret_cast<sockaddr *>(&addr), &length) == 0)
            port_ = ntohs(addr.sin_port);
    }

    RefusingPort(const RefusingPort &) = delete;
    RefusingPort &operator=(const RefusingPort &) = delete;

    ~RefusingPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // 0 when no port could be bound.
    int Port() const { return port_; }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};
