#include "net/http_client_win.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumaforge
