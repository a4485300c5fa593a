// Secure update pages: a certificate nobody vouches for is refused.
#include "DownloadThread.h"

#include "WaitFor.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <thread>

namespace {

TEST(UpdateTls, ASelfSignedCertificateIsRefused)
{
    httplib::SSLServer server(NIMBREL_TEST_DATA_DIR "/self-signed.crt", NIMBREL_TEST_DATA_DIR "/self-signed.key");
    ASSERT_TRUE(server.is_valid());
    server.Get("/webupdate.html", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("<META NAME=\"NBVersion\" CONTENT=\"9.0\">", "text/html");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&] { server.listen_after_bind(); });

    TDownloadRequest request;
    request.URL = QStringLiteral("https://127.0.0.1:%1/webupdate.html").arg(port);
    TDownloadThread thread(request);
    thread.start();
    EXPECT_TRUE(Eventually([&] { return thread.isFinished(); }));
    server.stop();
    serving.join();

    EXPECT_FALSE(thread.Result().Success);
    EXPECT_TRUE(thread.Result().Error.contains(QLatin1String("certificate"), Qt::CaseInsensitive))
        << thread.Result().Error.toStdString();
    EXPECT_TRUE(thread.Result().Info.isEmpty());
}

} // namespace
