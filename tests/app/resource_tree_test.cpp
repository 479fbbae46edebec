#include "app/resource_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumaforge {
namespace {

std::vector<std::string> Displayed(const ResourceTree& tree) {
    std::vector<std::string> names;
    for (NodeId node : tree.DisplayRows())
        names.emplace_back(tree.Item(node).Name.View());
    return names;
}

// Two categories with styles and one empty category, all expanded.
struct ThemesFixture : ::testing::Test {
    void SetUp() override {
        windows = tree.Add(kNoNode, "Windows[3]");
        tree.Add(windows, "Aero");
        tree.Add(windows, "AERO Glass");
        tree.Add(windows, "Classic");
        mac = tree.Add(kNoNode, "Mac aero[1]");
        tree.Add(mac, "MyAero");
        empty = tree.Add(kNoNode, "Empty[0]");
        tree.SetCategoriesExpanded(true);
    }
    ResourceTree tree;
    NodeId windows = kNoNode, mac = kNoNode, empty = kNoNode;
};

TEST_F(ThemesFixture, TreeFilterMatchesStylesOnlyAndHidesEmptyCategories) {
    tree.Filter("AERO", false);
    EXPECT_EQ(Displayed(tree), (std::vector<std::string>{"Windows[3]", "Aero", "AERO Glass", "Mac aero[1]", "MyAero"}));

    // A trailing blank is part of the filter.
    tree.Filter("aero ", false);
    EXPECT_EQ(Displayed(tree), (std::vector<std::string>{"Windows[3]", "AERO Glass"}));

    // Only a category name contains "windows": categories are never matched themselves.
    tree.Filter("windows", false);
    EXPECT_TRUE(Displayed(tree).empty());
}

TEST_F(ThemesFixture, ClearingTheFilterKeepsCategoriesWithoutStylesHidden) {
    EXPECT_EQ(tree.DisplayRows().size(), 7u);
    tree.Filter("", false);
    EXPECT_EQ(Displayed(tree),
              (std::vector<std::string>{"Windows[3]", "Aero", "AERO Glass", "Classic", "Mac aero[1]", "MyAero"}));
    EXPECT_FALSE(tree.Visible(empty));
}

TEST(ResourceTree, FlatFilterMatchesEveryRow) {
    ResourceTree tree;
    for (const char* name : {"Aero", "AERO Glass", "MyAero", "Classic"})
        tree.Add(kNoNode, name);
    tree.Filter("aero", true);
    EXPECT_EQ(Displayed(tree), (std::vector<std::string>{"Aero", "AERO Glass", "MyAero"}));
    tree.Filter("", true);
    EXPECT_EQ(Displayed(tree).size(), 4u);
}

TEST_F(ThemesFixture, ExpandAndCollapseAllKeepTheFocus) {
    NodeId classic = tree.Children(windows)[2];
    tree.SetFocused(classic);
    tree.SetCategoriesExpanded(true);
    tree.SetCategoriesExpanded(false);
    EXPECT_EQ(tree.Focused(), classic);
    EXPECT_EQ(Displayed(tree), (std::vector<std::string>{"Windows[3]", "Mac aero[1]", "Empty[0]"}));
    // Keyboard movement from a focus hidden in a collapsed category starts at that category.
    EXPECT_EQ(tree.MoveFocus(1), mac);
}

TEST_F(ThemesFixture, FocusMovesClampAtBothEnds) {
    EXPECT_EQ(tree.MoveFocus(1), windows);  // no focus yet: the first row
    EXPECT_EQ(tree.MoveFocus(-5), windows);
    EXPECT_EQ(tree.MoveFocus(100), empty);
    EXPECT_EQ(tree.FocusFirst(), windows);
    EXPECT_EQ(tree.FocusLast(), empty);
    tree.ToggleExpanded(windows);
    EXPECT_EQ(tree.DisplayIndex(tree.Children(windows)[0]), -1);
}

TEST_F(ThemesFixture, ClearTakesEveryRowAndTheFocusAndNewRowsCountFromZero) {
    tree.FocusLast();
    ASSERT_FALSE(Displayed(tree).empty());
    tree.Clear();
    EXPECT_EQ(tree.Size(), 0u);
    EXPECT_TRUE(tree.Roots().empty());
    EXPECT_TRUE(Displayed(tree).empty());
    EXPECT_EQ(tree.Focused(), kNoNode);
    EXPECT_EQ(tree.MoveFocus(1), kNoNode);
    const NodeId again = tree.Add(kNoNode, "Again[0]");
    EXPECT_EQ(again, 0);
    EXPECT_EQ(Displayed(tree), std::vector<std::string>{"Again[0]"});
}

TEST(ResourceTree, NewRowsAreZeroedAndLevelled) {
    ResourceTree tree;
    NodeId category = tree.Add(kNoNode, "Cat");
    NodeId style = tree.Add(category, std::string(1000, 'n'));
    EXPECT_EQ(tree.Level(category), 0);
    EXPECT_EQ(tree.Level(style), 1);
    EXPECT_EQ(tree.Item(style).Name.Size(), ShortName::kCapacity);
    EXPECT_EQ(tree.Item(style).State, dsNone);
    EXPECT_EQ(tree.Item(style).Progress, 0);
    EXPECT_EQ(tree.Item(style).Installed, 0);
    EXPECT_FALSE(tree.Expanded(category));
}

}  // namespace
}  // namespace lumaforge
