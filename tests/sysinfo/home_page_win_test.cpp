#include "sysinfo/home_page_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/registry_win.h"
#include "support/registry_snapshot_win.h"

namespace lumaforge {
namespace {

constexpr char kHome[] = "http://www.lumaforge.example/";
constexpr char kStem[] = "lumaforge.example";

struct Asked {
    std::string text;
    std::string caption;
    unsigned style;
};

// The prompt against the real start-page key of the test prefix, put back as it was afterwards.
class HomePageTest : public ::testing::Test {
protected:
    HomePageTest() : snapshot_(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main") {}

    // No value: the key without it; no key: not even the key.
    void SetStartPage(const std::optional<std::string>& page, bool keepKey = true) {
        RegistryKey::DeleteTree(HKEY_CURRENT_USER, kStartPageKey);
        if (keepKey) {
            RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, kStartPageKey);
            ASSERT_TRUE(key);
            ASSERT_TRUE(key.WriteString("Other", "kept"));
            if (page) {
                ASSERT_TRUE(key.WriteString(kStartPageValue, *page));
            }
        }
    }

    std::optional<std::string> StartPage() const {
        RegistryKey key = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kStartPageKey);
        return key ? key.ReadString(kStartPageValue) : std::nullopt;
    }

    HomePagePrompt Prompt(int answer) {
        return ShowHomePagePrompt(
            [this, answer](const std::string& text, const std::string& caption, unsigned style) {
                asked.push_back({text, caption, style});
                return answer;
            },
            kHome, kStem);
    }

    std::vector<Asked> asked;

private:
    test::RegistrySnapshot snapshot_;
};

TEST_F(HomePageTest, AsksUnlessTheStartPageIsAlreadyTheHomeSite) {
    struct Case {
        std::optional<std::string> startPage;
        bool keepKey;
        int answer;
        HomePagePrompt result;
        std::optional<std::string> after;
    };
    const Case cases[] = {
        // The stem is looked for in the lowered address: capitals count as set.
        {"HTTP://WWW.LUMAFORGE.EXAMPLE/Index.html", true, IDYES, HomePagePrompt::AlreadyHome,
         "HTTP://WWW.LUMAFORGE.EXAMPLE/Index.html"},
        {"http://mirror.lumaforge.example.cn/", true, IDYES, HomePagePrompt::AlreadyHome,
         "http://mirror.lumaforge.example.cn/"},
        {"http://www.example.org/", true, IDNO, HomePagePrompt::Declined, "http://www.example.org/"},
        {"http://www.example.org/", true, IDYES, HomePagePrompt::Set, kHome},
        {"", true, IDYES, HomePagePrompt::Set, kHome},
        {std::nullopt, true, IDNO, HomePagePrompt::Declined, std::nullopt},
        {std::nullopt, true, IDYES, HomePagePrompt::Set, kHome},
        {std::nullopt, false, IDYES, HomePagePrompt::Set, kHome},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startPage.value_or("(no value)") + (c.keepKey ? "" : " (no key)"));
        ASSERT_NO_FATAL_FAILURE(SetStartPage(c.startPage, c.keepKey));
        asked.clear();
        EXPECT_EQ(Prompt(c.answer), c.result);
        EXPECT_EQ(asked.size(), c.result == HomePagePrompt::AlreadyHome ? 0u : 1u);
        EXPECT_EQ(StartPage(), c.after);
        if (c.keepKey) {
            EXPECT_EQ(RegistryKey::OpenToRead(HKEY_CURRENT_USER, kStartPageKey).ReadString("Other"), "kept");
        }
    }
}

TEST_F(HomePageTest, NoAsksAgainNextTimeAndLeavesNoKeyBehind) {
    ASSERT_NO_FATAL_FAILURE(SetStartPage(std::nullopt, false));
    EXPECT_EQ(Prompt(IDNO), HomePagePrompt::Declined);
    EXPECT_EQ(Prompt(IDNO), HomePagePrompt::Declined);
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, kStartPageKey));
    EXPECT_EQ(Prompt(IDYES), HomePagePrompt::Set);
    EXPECT_EQ(Prompt(IDYES), HomePagePrompt::AlreadyHome);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].caption, "提示");
    EXPECT_EQ(asked[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
    EXPECT_EQ(asked[0].text,
              "设[Lumaforge]为首页(支持Lumaforge的发展)，Lumaforge致力于为广\r\n大用户提供免费的原创电脑主题，"
              "希望您能支持我们将免费原创坚\r\n持到底,是否继续支持？");
}

}  // namespace
}  // namespace lumaforge
