#include "net/http_client_win.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/test_http_server.h"

namespace lumaforge {
namespace {

class HttpClientTest : public ::testing::Test {
protected:
    test::TestHttpServer server;
    TWinHttp http;
};

TEST_F(HttpClientTest, GetSendsPathAndQueryPostSendsTheQueryAsBody) {
    EXPECT_EQ(http.GetText(server.Url("/echo/x?y=1")), "GET /echo/x?y=1\n");
    EXPECT_EQ(http.Host, "127.0.0.1");
    EXPECT_EQ(http.ObjectName, "/echo/x?y=1");
    StringSink post;
    http.Request(server.Url("/echo/x?y=1"), post, false);
    EXPECT_EQ(post.Text(), "POST /echo/x\ny=1");
}

TEST_F(HttpClientTest, OnlyAnOkAnswerWritesItsBody) {
    StringSink sink;
    http.Get(server.Url("/status/404"), sink);
    EXPECT_EQ(sink.Size(), 0);
    EXPECT_EQ(http.ContentLength(), 0);
    http.Get(server.Url("/status/500"), sink);
    EXPECT_EQ(sink.Size(), 0);
    // A refused connection is quiet too.
    EXPECT_EQ(http.GetText("http://127.0.0.1:1/nothing"), "");
}

TEST_F(HttpClientTest, LengthAndCharsetFromTheHeaders) {
    StringSink sink;
    http.Get(server.Url("/gen/10000"), sink);
    EXPECT_EQ(http.ContentLength(), 10000);
    EXPECT_EQ(sink.Size(), 10000);
    EXPECT_EQ(sink.Text()[9999], test::GeneratedByte(9999));

    StringSink noLength;
    http.Get(server.Url("/nolength/5000"), noLength);
    EXPECT_EQ(http.ContentLength(), 0);
    EXPECT_EQ(noLength.Size(), 5000);

    http.GetText(server.Url("/ctype/1"));
    EXPECT_EQ(http.Charset, "gbk");
    http.GetText(server.Url("/ctype/2"));
    EXPECT_EQ(http.Charset, "");
}

TEST_F(HttpClientTest, MalformedLengthCountsAsAbsent) {
    StringSink sink;
    http.Get(server.Url("/badlength"), sink);
    EXPECT_EQ(http.ContentLength(), 0);
    EXPECT_EQ(sink.Text(), "0123456789ab");
}

TEST_F(HttpClientTest, AbortInTheFirstProgressKeepsOneChunk) {
    int calls = 0;
    http.SetOnProgress([&](int64_t current, int64_t total, bool& abort) {
        ++calls;
        EXPECT_EQ(total, 1000000);
        EXPECT_LE(current, 4096);
        abort = true;
    });
    StringSink sink;
    http.Get(server.Url("/gen/1000000"), sink);
    EXPECT_EQ(calls, 1);
    EXPECT_GT(sink.Size(), 0);
    EXPECT_LE(sink.Size(), 4096);
}

TEST_F(HttpClientTest, RedirectsAreFollowedAndShortBodiesStayShort) {
    server.SetContent("/target.txt", "arrived");
    EXPECT_EQ(http.GetText(server.Url("/redirect/target.txt")), "arrived");
    StringSink sink;
    http.Get(server.Url("/short/8000/3000"), sink);
    EXPECT_EQ(http.ContentLength(), 8000);
    EXPECT_EQ(sink.Size(), 3000);
}

// How long a request took, in milliseconds.
template <typename Run>
int64_t ElapsedMs(Run&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(HttpClientTest, SilenceLongerThanTheTimeOutEndsTheRequest) {
    http.SetTimeout(600);
    struct {
        const char* path;
        int64_t received;
    } cases[] = {{"/stall/100000", 4096}, {"/hang", 0}};
    for (const auto& c : cases) {
        StringSink sink;
        const int64_t took = ElapsedMs([&] { http.Get(server.Url(c.path), sink); });
        EXPECT_TRUE(http.TimedOut()) << c.path;
        EXPECT_EQ(sink.Size(), c.received) << c.path;
        EXPECT_GE(took, 500) << c.path;
        EXPECT_LT(took, 3000) << c.path;
    }
    EXPECT_EQ(http.GetText(server.Url("/gen/100")).size(), 100u);
    EXPECT_FALSE(http.TimedOut());
}

TEST_F(HttpClientTest, WaitsInTicksKeepTheTransferAliveAndASlowAnswerIsAskedForOnce) {
    http.SetTimeout(5000);
    http.SetAbortCheck([] { return false; });
    // Silences longer than a tick and a slow first answer still bring the whole body.
    StringSink paused;
    http.Get(server.Url("/pause/200000/1300"), paused);
    EXPECT_EQ(paused.Size(), 200000);
    EXPECT_EQ(paused.Text()[199999], test::GeneratedByte(199999));
    EXPECT_FALSE(http.TimedOut());
    StringSink late;
    http.Get(server.Url("/late/1200/3000"), late);
    EXPECT_EQ(late.Size(), 3000);
    EXPECT_EQ(server.RequestCount("/late/1200/3000"), 1);
}

}  // namespace
}  // namespace lumaforge
