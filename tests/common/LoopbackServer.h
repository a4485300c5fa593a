// A cpp-httplib server on 127.0.0.1 with a free port, run on its own thread for
// the life of one test. Tests register handlers on `http` before calling Start().
#pragma once

#include <httplib.h>

#include <QString>

#include <string>
#include <thread>

class LoopbackServer
{
public:
    httplib::Server http;

    // The client keeps connections open for its next request; a server that
    // waited for one at the end of each test would hold Stop() back seconds.
    LoopbackServer() { http.set_keep_alive_timeout(0); }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    ~LoopbackServer() { Stop(); }

    // Binds a free port and serves until Stop(); returns false if no port could be bound.
    bool Start()
    {
        port_ = http.bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            return false;
        thread_ = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running())
            std::this_thread::yield();
        return true;
    }

    void Stop()
    {
        if (thread_.joinable()) {
            http.stop();
            thread_.join();
        }
    }

    int Port() const { return port_; }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    int port_ = 0;
    std::thread thread_;
};
