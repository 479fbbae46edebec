// The signed catalog through the running window: the published demo tree as nginx serves it
// (scripts/test.sh starts it through scripts/test-servers.sh), and the same files handed on by a
// server of the test's own with packages swapped or the catalog edited after signing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/files_win.h"
#include "base/manifest.h"
#include "base/unicode_win.h"
#include "net/http_client_win.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Fetch(const std::string& url) {
    TWinHttp http;
    StringSink sink;
    http.Get(url, sink);
    return sink.Text();
}

constexpr char kCatalog[] = "softdata/xp/config.txt";
constexpr char kManifest[] = "softdata/xp/manifest.txt";
constexpr char kSignature[] = "softdata/xp/manifest.sig";
constexpr char kNeonGreen[] = "softdata/xp/res/cursor/Neon%20Green.zip";
constexpr char kOxygenBlue[] = "softdata/xp/res/cursor/Oxygen%20Blue.zip";

class SignedCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        if (publishedUrl.empty() || publicKey.empty())
            GTEST_SKIP() << "needs the nginx that scripts/test.sh starts (scripts/test-servers.sh)";
    }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    // A window of the program in `folder` trusting the demo key, its catalog from `url`; the
    // installers are recorded, not run: they have tests of their own.
    void Open(const std::string& url) {
        window.reset();
        test::PumpPending();
        TFrmMain::Services services = test::QuietServices(url);
        services.catalogPublicKey = publicKey;
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back({text, kind});
            return IDOK;
        };
        services.installPackage = [this](TResourceKind kind, const std::string& path) {
            installed.push_back({kind, path});
            return true;
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(window->Create());
        ASSERT_TRUE(test::ShowAndLoadCatalog(*window));
    }
    void DoubleClick(ResourceList& list, NodeId node) {
        list.SetFocusedNode(node);
        const RECT row = list.NodeRect(node);
        SendMessageW(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 20, row.top + 5));
    }
    // Starts the download of a row and waits for its end; the row's state then.
    uint8_t Download(TResourceKind kind, const std::string& name) {
        ResourceList& list = window->List(kind);
        const NodeId row = test::RowNamed(list, name);
        EXPECT_NE(row, kNoNode) << name;
        if (row == kNoNode)
            return dsNone;
        DoubleClick(list, row);
        test::PumpUntil(
            [&] {
                const uint8_t state = list.Tree().Item(row).State;
                return state == dsDownloaded || state == dsFailed;
            },
            60000);
        return list.Tree().Item(row).State;
    }
    std::string PackageFile(TResourceKind kind, const std::string& name) const {
        return window->Paths().PackageFile(static_cast<int>(kind), name);
    }
    bool Cached(TResourceKind kind, const std::string& name) const {
        return GetFileAttributesW(ToWide(PackageFile(kind, name)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // The window's messages that name the package as refused.
    int Refusals(const std::string& name) const {
        int count = 0;
        for (const auto& [text, kind] : messages)
            count += kind == mkError && text.find("\"" + name + "\"") != std::string::npos ? 1 : 0;
        return count;
    }

    std::string publishedUrl = Environment("LUMAFORGE_TEST_PUBLISHED_URL");
    std::string publicKey = Environment("LUMAFORGE_TEST_CATALOG_PUBLIC_KEY");
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::pair<std::string, TMsgKind>> messages;
    std::vector<std::pair<TResourceKind, std::string>> installed;
};

TEST_F(SignedCatalogTest, APackageOfEachKindDownloadsFromNginxMatchesTheManifestAndInstalls) {
    Open(publishedUrl);
    window->List(TResourceKind::Theme).SetCategoriesExpanded(true);
    const std::optional<Manifest> manifest = Manifest::Parse(Fetch(publishedUrl + kManifest));
    ASSERT_TRUE(manifest);
    const std::pair<TResourceKind, const char*> packages[] = {
        {TResourceKind::Theme, "Carbon"},      {TResourceKind::Logon, "Blue Sky"},
        {TResourceKind::Cursor, "Neon Green"}, {TResourceKind::ScreenSaver, "Aquarium"},
        {TResourceKind::Icon, "Faenza"},       {TResourceKind::Sound, "Robot Voice"}};
    for (auto [kind, name] : packages) {
        ASSERT_EQ(Download(kind, name), dsDownloaded) << name;
        const FileDigest* expected = manifest->Find(ManifestRole::Package, static_cast<int>(kind), name);
        ASSERT_TRUE(expected) << name;
        EXPECT_EQ(CheckFile(PackageFile(kind, name), *expected), FileTrust::Matches) << name;
        ResourceList& list = window->List(kind);
        DoubleClick(list, test::RowNamed(list, name));
        ASSERT_FALSE(installed.empty()) << name;
        EXPECT_EQ(installed.back(), (std::pair<TResourceKind, std::string>{kind, PackageFile(kind, name)}));
    }
    EXPECT_EQ(installed.size(), std::size(packages));
    EXPECT_TRUE(messages.empty());
    // The verified catalog is kept beside the program, with what vouches for it.
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(window->Paths().LocalManifestFile(), kept));
    EXPECT_EQ(kept, Fetch(publishedUrl + kManifest));
}

TEST_F(SignedCatalogTest, SwappedPackagesAndACatalogEditedAfterSigningAreNeverAccepted) {
    test::TestHttpServer server;
    const std::string catalog = Fetch(publishedUrl + kCatalog);
    const std::string neon = Fetch(publishedUrl + kNeonGreen);
    const std::string oxygen = Fetch(publishedUrl + kOxygenBlue);
    ASSERT_FALSE(catalog.empty());
    ASSERT_FALSE(neon.empty());
    ASSERT_FALSE(oxygen.empty());
    for (const char* path : {kCatalog, kManifest, kSignature})
        server.SetContent(std::string("/res/") + path, Fetch(publishedUrl + path));
    // Two valid packages, each where the other belongs.
    server.SetContent(std::string("/res/") + kNeonGreen, oxygen);
    server.SetContent(std::string("/res/") + kOxygenBlue, neon);
    Open(server.Url("/res/"));
    EXPECT_TRUE(messages.empty());
    for (const char* name : {"Neon Green", "Oxygen Blue"}) {
        EXPECT_EQ(Download(TResourceKind::Cursor, name), dsFailed) << name;
        EXPECT_FALSE(Cached(TResourceKind::Cursor, name)) << name;
        EXPECT_EQ(Refusals(name), 1) << name;
    }

    // A catalog edited after signing (a row renamed): refused, and the lists come from the copy
    // the first start kept, never from the edited one.
    std::string edited = catalog;
    edited.replace(edited.find("Dinosaur"), 8, "Dinosaux");
    server.SetContent(std::string("/res/") + kCatalog, edited);
    messages.clear();
    Open(server.Url("/res/"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, mkWarning);
    ResourceList& cursors = window->List(TResourceKind::Cursor);
    EXPECT_NE(test::RowNamed(cursors, "Dinosaur"), kNoNode);
    EXPECT_EQ(test::RowNamed(cursors, "Dinosaux"), kNoNode);
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(window->Paths().LocalCatalogFile(), kept));
    EXPECT_EQ(kept, catalog);

    // Without a verified copy beside the program there is no list at all.
    DeleteFileUtf8(window->Paths().LocalManifestFile());
    messages.clear();
    Open(server.Url("/res/"));
    EXPECT_EQ(messages.size(), 2u);  // refused, and no catalog to show
    EXPECT_EQ(window->List(TResourceKind::Cursor).Tree().Size(), 0u);
}

TEST_F(SignedCatalogTest, ACachedPackageChangedAfterItsDownloadIsRefusedAtInstall) {
    Open(publishedUrl);
    ASSERT_EQ(Download(TResourceKind::Cursor, "Neon Green"), dsDownloaded);
    // Another valid package in its place, as something on the computer might put it.
    ASSERT_TRUE(WriteWholeFile(PackageFile(TResourceKind::Cursor, "Neon Green"), Fetch(publishedUrl + kOxygenBlue)));
    ResourceList& list = window->List(TResourceKind::Cursor);
    const NodeId row = test::RowNamed(list, "Neon Green");
    DoubleClick(list, row);
    EXPECT_TRUE(installed.empty());
    EXPECT_FALSE(Cached(TResourceKind::Cursor, "Neon Green"));
    EXPECT_EQ(list.Tree().Item(row).State, dsFailed);
    EXPECT_EQ(Refusals("Neon Green"), 1);
}

TEST_F(SignedCatalogTest, AnHttpsResourceAddressServesTheCatalogAndItsPackages) {
    const std::string httpsUrl = Environment("LUMAFORGE_TEST_HTTPS_URL");
    ASSERT_FALSE(httpsUrl.empty());
    Open(httpsUrl);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Download(TResourceKind::Cursor, "Neon Green"), dsDownloaded);
}

TEST_F(SignedCatalogTest, AnUntrustedCertificateFailsTheTransferAndIsNoRefusedCatalog) {
    const std::string untrustedUrl = Environment("LUMAFORGE_TEST_UNTRUSTED_HTTPS_URL");
    ASSERT_FALSE(untrustedUrl.empty());
    Open(untrustedUrl);
    // The server answered, yet nothing came: the program says it has no catalog, as for a server
    // that is down, and says nothing of an altered one.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, mkWarning);
    EXPECT_EQ(window->List(TResourceKind::Cursor).Tree().Size(), 0u);
    EXPECT_FALSE(ReadWholeFile(window->Paths().LocalCatalogFile(), *std::make_unique<std::string>()));
}

}  // namespace
}  // namespace lumaforge
