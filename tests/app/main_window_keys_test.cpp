#include "app/main_window_keys.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(MainWindowKeys, CtrlDigitsOpenTheNinePagesOfTheNavigationAndF5FetchesTheCatalog) {
    using A = MainWindowKey::Action;
    const KeyModifiers none{}, ctrl{true, false, false};
    struct {
        unsigned key;
        KeyModifiers modifiers;
        std::optional<A> action;
        int page;
    } cases[] = {
        {'1', ctrl, A::OpenPage, 0},   // visual styles
        {'5', ctrl, A::OpenPage, 4},   // screen savers
        {'8', ctrl, A::OpenPage, 7},   // OEM information
        {'9', ctrl, A::OpenPage, 9},   // the start page: the patcher's hidden page is skipped
        {0x61, ctrl, A::OpenPage, 0},  // keypad 1
        {0x69, ctrl, A::OpenPage, 9},  // keypad 9
        {'0', ctrl, std::nullopt, 0},  // no tenth page
        {'1', none, std::nullopt, 0},  // a digit typed into a filter
        {'1', {true, true, false}, std::nullopt, 0},
        {'1', {true, false, true}, std::nullopt, 0},  // Ctrl+Alt is AltGr on many keyboards
        {0x74, none, A::FetchCatalog, 0},             // F5
        {0x74, ctrl, std::nullopt, 0},
        {0x74, {false, true, false}, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        const std::optional<MainWindowKey> key = MainWindowKeyFor(c.key, c.modifiers);
        ASSERT_EQ(key.has_value(), c.action.has_value());
        if (!key)
            continue;
        EXPECT_EQ(key->action, *c.action);
        if (key->action == A::OpenPage)
            EXPECT_EQ(key->page, c.page);
    }
}

}  // namespace
}  // namespace lumaforge
