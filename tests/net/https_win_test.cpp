#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net/http_client_win.h"

namespace lumaforge {
namespace {

// nginx, started by scripts/test.sh (scripts/test-servers.sh), serves the published demo tree over
// plain HTTP, over HTTPS with a certificate of the run's test authority, which the Wine prefix
// trusts through its own root store while the servers run, and over HTTPS with a certificate of an
// authority nothing trusts.
struct TlsServers {
    std::string plainUrl = Environment("LUMAFORGE_TEST_PUBLISHED_URL");
    std::string httpsUrl = Environment("LUMAFORGE_TEST_HTTPS_URL");
    std::string untrustedUrl = Environment("LUMAFORGE_TEST_UNTRUSTED_HTTPS_URL");

    static std::string Environment(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "";
    }
    bool Running() const { return !plainUrl.empty() && !httpsUrl.empty() && !untrustedUrl.empty(); }
};

constexpr char kFile[] = "softdata/xp/manifest.txt";

// A fresh client per request: nothing of one request's connection serves the next.
std::string Fetch(const std::string& url, int64_t* length = nullptr, bool* secure = nullptr) {
    TWinHttp http;
    StringSink sink;
    http.Get(url, sink);
    if (length)
        *length = http.ContentLength();
    if (secure)
        *secure = http.Secure;
    return sink.Text();
}

TEST(HttpsTest, TrustedCertificateGivesTheBodyAndAnyOtherFailsTheTransfer) {
    const TlsServers servers;
    if (!servers.Running())
        GTEST_SKIP() << "needs the nginx that scripts/test.sh starts (scripts/test-servers.sh)";
    const std::string expected = Fetch(servers.plainUrl + kFile);
    ASSERT_FALSE(expected.empty());

    int64_t length = -1;
    bool secure = false;
    EXPECT_EQ(Fetch(servers.httpsUrl + kFile, &length, &secure), expected);
    EXPECT_EQ(length, static_cast<int64_t>(expected.size()));
    EXPECT_TRUE(secure);

    // A certificate of an authority nobody trusts, and a trusted one for another host name: the
    // server answers, but the transfer fails as if it had not.
    std::string otherName = servers.httpsUrl;
    otherName.replace(otherName.find("127.0.0.1"), 9, "localhost");
    for (const std::string& url : {servers.untrustedUrl, otherName}) {
        length = -1;
        EXPECT_EQ(Fetch(url + kFile, &length), "") << url;
        EXPECT_EQ(length, 0) << url;
    }
    // Plain HTTP to the TLS port gets no answer that could pass for the file.
    std::string plainToTls = servers.httpsUrl;
    plainToTls.replace(0, 5, "http");
    EXPECT_NE(Fetch(plainToTls + kFile), expected);
}

}  // namespace
}  // namespace lumaforge
