#include "framework/platform/http_client.h"

#include "tests/unit/platform/loopback_http_server.h"
#include "tests/unit/platform/temp_environment.h"

namespace {

class HttpClientTest : public TempEnvironmentTest {};

TEST_F(HttpClientTest, ReturnsTheBodyAndStatus) {
  LoopbackHttpServer server({LoopbackHttpServer::Response(200, "1103\n"), 0, false});
  const HttpResponse r = HttpGet(server.BaseUrl() + "/music/version/?file=varnel");
  EXPECT_TRUE(r.completed) << r.error;
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "1103\n");
  EXPECT_EQ(server.RequestLine(), "GET /music/version/?file=varnel HTTP/1.1");
}

TEST_F(HttpClientTest, FailuresAreReportedWithinTheTimeOut) {
  HttpOptions quick;
  quick.connectTimeoutMs = 300;
  quick.totalTimeoutMs = 300;
  {
    LoopbackHttpServer slow({LoopbackHttpServer::Response(200, "1103"), 3000, false});
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse r = HttpGet(slow.BaseUrl() + "/", quick);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.body.empty());
    EXPECT_FALSE(r.error.empty());
  }
  {
    LoopbackHttpServer silent({"", 0, true});
    const HttpResponse r = HttpGet(silent.BaseUrl() + "/", quick);
    EXPECT_FALSE(r.completed);
    EXPECT_TRUE(r.body.empty());
  }
  {
    LoopbackHttpServer garbage({std::string("\x01\xff\x00garbage\r\n\r\n", 14), 0, false});
    const HttpResponse r = HttpGet(garbage.BaseUrl() + "/", quick);
    EXPECT_FALSE(r.completed);
  }
  {
    // The connection ends before the announced length.
    LoopbackHttpServer cut({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n1103", 0, false});
    const HttpResponse r = HttpGet(cut.BaseUrl() + "/", quick);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.body, "1103");
  }
  const HttpResponse refused = HttpGet("http://127.0.0.1:1/", quick);
  EXPECT_FALSE(refused.completed);
  EXPECT_FALSE(HttpGet("file:///etc/passwd", quick).completed);
  EXPECT_FALSE(HttpGet("not a url", quick).completed);
}

TEST_F(HttpClientTest, OversizedBodiesAreCut) {
  LoopbackHttpServer big({LoopbackHttpServer::Response(200, std::string(200000, '7')), 0, false});
  HttpOptions options;
  options.maxBodyBytes = 1000;
  const HttpResponse r = HttpGet(big.BaseUrl() + "/", options);
  EXPECT_FALSE(r.completed);
  EXPECT_LE(r.body.size(), 1000u);
}

} // namespace
