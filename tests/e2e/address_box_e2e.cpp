// The address box under Xvfb with real keys and clicks: suggestions while typing, Enter, the
// arrow keys in the list, a click on a suggestion and the drop button with the whole history.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/skin_demo_window.h"
#include "e2e/skin_e2e_support.h"
#include "shell/address_history.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pqtest::MoveTo;
using pqtest::WaitFor;
using pqtest::Xdo;

const char* const kAbout = "http://www.example.com/about.htm";
const char* const kHome = "http://www.example.com/";
const char* const kOther = "http://other.example/";

class AddressBoxE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = std::make_unique<pqtest::SkinDemoWindow>();
    demo->settings.SaveSetting("History", "Num1", kAbout);
    demo->settings.SaveSetting("History", "Num2", kHome);
    demo->settings.SaveSetting("History", "Num3", kOther);
    demo->box->LoadHistory(demo->settings);
    ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(demo->box->Widget()); }));
    pqtest::Flush();
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    demo.reset();
    pqtest::Flush();
  }
  pq::WebInputBox& box() { return *demo->box; }
  void ClickTextBox() {
    auto [x, y] = demo->ScreenPoint(box().TextBox(), 30, 8);
    MoveTo(x, y);
    Xdo({"click", "1"});
  }
  void Type(const std::string& text) { Xdo({"type", "--delay", "30", text}); }
  void Key(const std::string& key) { Xdo({"key", key}); }
  bool EnterRaisedWith(const std::string& url) {
    return WaitFor([&] { return demo->LastEvent() == "Enter " + url; });
  }

  std::unique_ptr<pqtest::SkinDemoWindow> demo;
};

TEST_F(AddressBoxE2e, TypingOffersMatchesShortestFirstAndEnterRaisesTheText) {
  ClickTextBox();
  Type("www.ex");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); })) << "list did not open";
  EXPECT_EQ(box().ListEntries(), (std::vector<std::string>{kHome, kAbout}));
  EXPECT_EQ(box().State().suggestion, kHome);
  const std::string shot = pqtest::Shot("-suggestions");
  EXPECT_TRUE(std::filesystem::exists(shot));
  Key("Return");
  EXPECT_TRUE(EnterRaisedWith("www.ex")) << demo->LastEvent();
  EXPECT_FALSE(box().IsComboExpanded());
}

TEST_F(AddressBoxE2e, ArrowKeysWalkTheListAndEnterTakesTheChoice) {
  ClickTextBox();
  Type("http://www");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  Key("Down");
  EXPECT_EQ(box().ListText(), kHome) << "the suggestion first";
  Key("Down");
  EXPECT_EQ(box().ListText(), kAbout);
  Key("Up");
  EXPECT_EQ(box().ListText(), kHome);
  Key("Up");  // on the suggestion: back to the text box
  Type("/a");
  EXPECT_EQ(box().Text(), "http://www/a");
  Key("ctrl+a");
  Type("http://www.example.com/");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  EXPECT_EQ(box().ListEntries(), std::vector<std::string>{kAbout}) << "the exact text is not offered";
  Key("Down");
  Key("Return");
  EXPECT_TRUE(EnterRaisedWith(kAbout)) << demo->LastEvent();
  EXPECT_EQ(box().Text(), kAbout);
}

TEST_F(AddressBoxE2e, ClickingASuggestionRaisesEnterWithIt) {
  ClickTextBox();
  Type("www.");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  EXPECT_EQ(box().ListEntries(), (std::vector<std::string>{kHome, kAbout}));
  pqtest::Flush();
  GtkWidget* list = gtk_bin_get_child(GTK_BIN(box().ListWindow()));
  int ox = 0, oy = 0;
  gdk_window_get_origin(gtk_widget_get_window(box().ListWindow()), &ox, &oy);
  const int h = gtk_widget_get_allocated_height(list);
  // The second of the two rows.
  MoveTo(ox + 60, oy + h * 3 / 4);
  Xdo({"click", "1"});
  EXPECT_TRUE(EnterRaisedWith(kAbout)) << demo->LastEvent();
  EXPECT_EQ(box().Text(), kAbout);
  EXPECT_FALSE(box().IsComboExpanded());
}

TEST_F(AddressBoxE2e, DropButtonShowsTheWholeHistoryInItsOrder) {
  auto [x, y] = demo->ScreenPoint(box().Widget(), 440 - 12, 13);
  MoveTo(x, y);
  EXPECT_TRUE(WaitFor([&] { return box().ShownDropLook() == pq::WebInputBox::DropLook::Hover; }));
  pqtest::Press();
  EXPECT_TRUE(WaitFor([&] { return box().ShownDropLook() == pq::WebInputBox::DropLook::Pressed; }));
  pqtest::Release();
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  EXPECT_EQ(box().ListEntries(), (std::vector<std::string>{kAbout, kHome, kOther}));
  pqtest::Shot("-history");
  // Off the button the timer gives it its normal colour back.
  MoveTo(x - 200, y + 300);
  EXPECT_TRUE(WaitFor([&] { return box().ShownDropLook() == pq::WebInputBox::DropLook::Normal; }));
  Key("Escape");
}

TEST_F(AddressBoxE2e, PressingElsewhereClosesTheList) {
  ClickTextBox();
  Type("www.");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  auto [x, y] = demo->ScreenPoint(demo->pane, 300, 200);
  MoveTo(x, y);
  Xdo({"click", "1"});
  EXPECT_TRUE(WaitFor([&] { return !box().IsComboExpanded(); }));
  EXPECT_EQ(demo->LastEvent(), "") << "no address was chosen";
}

TEST_F(AddressBoxE2e, AddToHistoryShowsTheAddressWithoutOpeningTheList) {
  box().AddToHistory("http://www.example.com/new.htm", "", demo->settings);
  pqtest::Flush();
  EXPECT_EQ(box().Text(), "http://www.example.com/new.htm");
  EXPECT_FALSE(box().IsComboExpanded());
  EXPECT_EQ(demo->settings.GetSetting("History", "Num1"), "http://www.example.com/new.htm");
  // The new entry is offered at once.
  ClickTextBox();
  Key("ctrl+a");
  Type("www.example.com/n");
  ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
  EXPECT_EQ(box().ListEntries(), std::vector<std::string>{"http://www.example.com/new.htm"});
}

// The list is as tall as its entries: no empty block under a single suggestion, and the whole
// history (at most 20) without scrolling.
TEST_F(AddressBoxE2e, TheListIsAsTallAsItsEntries) {
  struct Case {
    int history;       // addresses remembered: http://site<i>.example/
    std::string typed;  // "" opens the whole history with the drop button
    std::size_t rows;
  };
  const Case cases[] = {{1, "site1", 1}, {3, "site", 3}, {20, "site1", 11}, {20, "", 20}, {1, "site1", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE("history " + std::to_string(c.history) + ", typed \"" + c.typed + "\"");
    for (int i = 1; i <= pq::kHistorySlots; ++i)
      demo->settings.SaveSetting("History", "Num" + std::to_string(i),
                                 i <= c.history ? "http://site" + std::to_string(i) + ".example/" : "");
    box().LoadHistory(demo->settings);
    if (c.typed.empty()) {
      auto [x, y] = demo->ScreenPoint(box().Widget(), 440 - 12, 13);
      MoveTo(x, y);
      Xdo({"click", "1"});
    } else {
      ClickTextBox();
      Key("ctrl+a");
      Type(c.typed);
    }
    ASSERT_TRUE(WaitFor([&] { return box().IsComboExpanded(); }));
    ASSERT_EQ(box().ListEntries().size(), c.rows);
    pqtest::Flush();
    GtkWidget* popup = box().ListWindow();
    ASSERT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(popup); }));
    pqtest::Flush();
    // The popup holds a frame, its scroller and the list.
    GtkWidget* scroller = gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(popup))));
    GtkWidget* list = gtk_bin_get_child(GTK_BIN(scroller));
    ASSERT_TRUE(GTK_IS_TREE_VIEW(list));
    // The rows' own height: the last row's bottom edge.
    GtkTreePath* last = gtk_tree_path_new_from_indices(static_cast<int>(c.rows) - 1, -1);
    GdkRectangle area{};
    gtk_tree_view_get_background_area(GTK_TREE_VIEW(list), last, nullptr, &area);
    gtk_tree_path_free(last);
    GtkAdjustment* scroll = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(list));
    const int rowsHeight = area.y + area.height + static_cast<int>(gtk_adjustment_get_value(scroll));
    const int height = gtk_widget_get_allocated_height(popup);
    if (c.history == 1) pqtest::Shot("-one-entry");
    if (c.rows == 20) pqtest::Shot("-twenty-entries");
    EXPECT_GE(height, rowsHeight) << "entries cut off";
    EXPECT_LE(height, rowsHeight + 16) << "an empty block under the entries";
    EXPECT_LE(gtk_adjustment_get_upper(scroll), gtk_adjustment_get_page_size(scroll) + 1) << "the list scrolls";
    Key("Escape");
    ASSERT_TRUE(WaitFor([&] { return !box().IsComboExpanded(); }));
  }
}

}  // namespace
