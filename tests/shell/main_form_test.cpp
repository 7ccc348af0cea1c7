#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/picture_button_state.h"

namespace {

using pq::HeaderLook;
using pq::MainTimer;
using pq::TabHeader;
using pq::ToolbarButton;
using B = ToolbarButton;

// A picture button that keeps the real button's states.
struct FakeButton : pq::ButtonControl {
  FakeButton() { state.Shown(); }
  void Disable() override { state.Disable(); }
  void enable() override { state.enable(); }
  void RefreshImage() override { ++refreshed; state.RefreshImage(); }
  void TmpDisable() override { state.TmpDisable(); }
  void TmpEnable() override { state.TmpEnable(); }
  pq::skin::PictureButtonState state;
  int refreshed = 0;
};

struct Log {
  std::vector<std::string> calls;
  void Add(const std::string& c) { calls.push_back(c); }
  std::string Joined() const {
    std::string s;
    for (const auto& c : calls) s += c + ";";
    return s;
  }
};

struct FakeBrowse : pq::BrowsePane {
  explicit FakeBrowse(Log& l) : log(l) {}
  void Navigate(const std::string& a) override { log.Add("browse.Navigate " + a); }
  void StopBrowser() override { log.Add("browse.Stop"); }
  void GoHome() override { log.Add("browse.GoHome"); }
  void GoBack() override { log.Add("browse.GoBack"); }
  void GoForward() override { log.Add("browse.GoForward"); }
  void SetStatusText(const std::string& t, int p, int m) override {
    log.Add("browse.Status " + t + " " + std::to_string(p) + "/" + std::to_string(m));
  }
  std::string WebURL() const override { return webURL; }
  void Focus() override { log.Add("browse.Focus"); }
  Log& log;
  std::string webURL;
};

struct FakeEdit : pq::EditPane {
  explicit FakeEdit(Log& l) : log(l) {}
  void Navigate() override { log.Add("edit.Navigate"); }
  void Preload() override { log.Add("edit.Preload"); }
  void StopBrowser() override { log.Add("edit.Stop"); }
  void ActivateInitialControl() override { log.Add("edit.ActivateInitialControl"); }
  void ActivateBox() override { log.Add("edit.ActivateBox"); }
  void Edit_Cut() override { log.Add("edit.Edit_Cut"); }
  void Edit_Copy() override { log.Add("edit.Edit_Copy"); }
  void Edit_Paste() override { log.Add("edit.Edit_Paste"); }
  void Bold() override { log.Add("edit.Bold"); }
  void Italic() override { log.Add("edit.Italic"); }
  void Underline() override { log.Add("edit.Underline"); }
  void UndoMe() override { log.Add("edit.UndoMe"); }
  void RedoMe() override { log.Add("edit.RedoMe"); }
  Log& log;
};

struct FakeView : pq::MainFormView {
  FakeView() : browse(log), edit(log) {}
  pq::BrowsePane& Browse() override { return browse; }
  pq::EditPane& Edit() override { return edit; }
  pq::ButtonControl& Button(ToolbarButton b) override { return buttons[b]; }
  std::string AddressText() const override { return address; }
  void SetAddressText(const std::string& a) override { address = a; log.Add("box.SetText " + a); }
  void AddToHistory(const std::string& a) override { log.Add("history.Add " + a); }
  void ShowHeader(TabHeader h, const HeaderLook& look) override { headers[h] = look; }
  void ShowTabControls(TabHeader t) override {
    shownTab = t;
    log.Add(std::string("show ") + pq::TabName(t));
  }
  void SetTimer(MainTimer t, bool on) override { timers[t] = on; }
  void SetMenuPasteEnabled(bool on) override { menuPaste = on; }
  bool ClipboardHasText() override { return !clipboard.empty(); }
  void ShowLayoutNotice() override { log.Add("ShowLayoutNotice"); }

  Log log;
  FakeBrowse browse;
  FakeEdit edit;
  std::map<ToolbarButton, FakeButton> buttons;
  std::map<TabHeader, HeaderLook> headers;
  std::map<MainTimer, bool> timers;
  std::string address;
  std::string clipboard;
  bool menuPaste = false;
  TabHeader shownTab = TabHeader::ImgEdit;
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Load();
    form.OnNavigateComplete();  // the first page is ready
    view.log.calls.clear();
  }
  bool Enabled(ToolbarButton b) { return view.buttons[b].state.Enabled(); }
  std::string Picture(TabHeader h) { return view.headers[h].picture; }
  std::string Calls() {
    std::string s = view.log.Joined();
    view.log.calls.clear();
    return s;
  }

  pq::WindowState state;
  FakeView view;
  pq::MainForm form{state, view};
};

TEST_F(MainFormTest, LoadSelectsBrowseWithEditThreePixelsLowerAndStartsTimers) {
  form.Load();
  view.log.calls.clear();
  EXPECT_TRUE(form.FirstActivation());
  EXPECT_EQ(state.CurrentTab, TabHeader::ImgBrowse);
  EXPECT_EQ(view.headers[TabHeader::ImgBrowse], (HeaderLook{"ImgBrowseNorm", true, true, true}));
  // Greyed until the first page's edit copy is ready: there is nothing to edit yet.
  EXPECT_EQ(view.headers[TabHeader::ImgEdit], (HeaderLook{"ImgEditDisabled", false, false, false}));
  EXPECT_FALSE(form.SelectTab(TabHeader::ImgEdit));
  EXPECT_EQ(view.shownTab, TabHeader::ImgBrowse);
  EXPECT_TRUE(view.timers[MainTimer::Timer1]);
  EXPECT_TRUE(view.timers[MainTimer::Timer2]);
  EXPECT_FALSE(view.timers[MainTimer::Timer3]);
  form.FirstActivationDone();
  EXPECT_FALSE(form.FirstActivation());
  EXPECT_TRUE(state.WindowMaximized);
  EXPECT_EQ(Calls(), "browse.GoHome;browse.Focus;");
}

// Each pane event, from a freshly loaded window, and what it leaves behind.
TEST_F(MainFormTest, RoutingTable) {
  struct Case {
    const char* name;
    std::function<void(pq::MainForm&)> event;
    std::string calls;
    std::map<ToolbarButton, bool> enabled;
    std::string editHeader;
  };
  const std::vector<Case> cases{
      {"StartedNavigation", [](auto& f) { f.OnStartedNavigation(); }, "", {}, "ImgEditDisabled"},
      {"NavigationComplete", [](auto& f) { f.OnNavigationComplete(); },
       "history.Add http://site/a.htm;edit.Navigate;", {}, "ImgEditUnselect"},
      {"PageCantBeDisplayed", [](auto& f) { f.OnPageCantBeDisplayed(); },
       "browse.Status Done 100/100;", {}, "ImgEditUnselect"},
      {"BackEnable false", [](auto& f) { f.OnBackEnable(false); }, "", {{B::Back, false}}, "ImgEditUnselect"},
      {"ForwardEnable false", [](auto& f) { f.OnForwardEnable(false); }, "", {{B::Forward, false}, {B::Back, true}}, "ImgEditUnselect"},
      {"ButtonsDisable", [](auto& f) { f.OnButtonsDisable(); }, "",
       {{B::Back, false}, {B::Forward, false}, {B::Home, false}, {B::Refresh, false}, {B::Go, true}},
       "ImgEditUnselect"},
      {"UpdateAddressBar", [](auto& f) { f.OnUpdateAddressBar("http://x/"); }, "box.SetText http://x/;", {}, "ImgEditUnselect"},
      {"NavigateComplete", [](auto& f) { f.OnNavigateComplete(); }, "browse.Status Done 100/100;", {}, "ImgEditUnselect"},
      {"SelectionChange false", [](auto& f) { f.OnSelectionChange(false); }, "",
       {{B::Cut, false}, {B::Copy, false}, {B::Paste, true}}, "ImgEditUnselect"},
      {"UndoChange false", [](auto& f) { f.OnUndoChange(false); }, "", {{B::Undo, false}, {B::Redo, true}}, "ImgEditUnselect"},
      {"RedoChange false", [](auto& f) { f.OnRedoChange(false); }, "", {{B::Redo, false}, {B::Undo, true}}, "ImgEditUnselect"},
      {"Enter", [](auto& f) { f.OnEnter("example.org/x.htm"); },
       "edit.Stop;browse.Stop;browse.Navigate http://example.org/x.htm;browse.Focus;", {}, "ImgEditUnselect"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pq::WindowState s;
    FakeView v;
    v.browse.webURL = "http://site/a.htm";
    pq::MainForm f(s, v);
    f.Load();
    f.OnNavigateComplete();  // the first page is ready
    v.log.calls.clear();
    c.event(f);
    EXPECT_EQ(v.log.Joined(), c.calls);
    for (const auto& [button, on] : c.enabled) EXPECT_EQ(v.buttons[button].state.Enabled(), on) << pq::ButtonLabel(button);
    EXPECT_EQ(v.headers[TabHeader::ImgEdit].picture, c.editHeader);
  }
}

TEST_F(MainFormTest, EditTabGreyedFromStartedNavigationUntilNavigateComplete) {
  form.OnStartedNavigation();
  EXPECT_FALSE(view.headers[TabHeader::ImgEdit].enabled);
  EXPECT_FALSE(form.SelectTab(TabHeader::ImgEdit));  // a disabled header takes no click
  EXPECT_EQ(state.CurrentTab, TabHeader::ImgBrowse);
  form.OnNavigateComplete();
  EXPECT_EQ(view.headers[TabHeader::ImgEdit], (HeaderLook{"ImgEditUnselect", false, true, false}));
  EXPECT_TRUE(form.SelectTab(TabHeader::ImgEdit));
}

TEST_F(MainFormTest, StartedNavigationWhilePublishingLeavesTheEditTab) {
  state.PublishShowing = true;
  form.OnStartedNavigation();
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditUnselect");
}

TEST_F(MainFormTest, ButtonsEnableRestoresWhatButtonsDisableFound) {
  form.OnBackEnable(false);  // no history yet
  form.OnButtonsDisable();
  EXPECT_FALSE(Enabled(B::Home));
  form.OnButtonsEnable();
  EXPECT_FALSE(Enabled(B::Back));
  EXPECT_TRUE(Enabled(B::Forward));
  EXPECT_TRUE(Enabled(B::Home));
  EXPECT_TRUE(Enabled(B::Refresh));
}

TEST_F(MainFormTest, HistoryGainedWhileThePageIsPreparedShowsAfterButtonsEnable) {
  form.OnBackEnable(false);
  form.OnButtonsDisable();
  form.OnBackEnable(true);  // the engine reports the history late
  EXPECT_FALSE(Enabled(B::Back));  // still blocked while the edit copy is prepared
  form.OnButtonsEnable();
  EXPECT_TRUE(Enabled(B::Back));
}

TEST_F(MainFormTest, SelectTabSwitchesPicturesOffsetsAndControls) {
  EXPECT_TRUE(form.SelectTab(TabHeader::ImgEdit));
  EXPECT_EQ(state.CurrentTab, TabHeader::ImgEdit);
  EXPECT_EQ(view.headers[TabHeader::ImgEdit], (HeaderLook{"ImgEditNorm", true, true, true}));
  EXPECT_EQ(view.headers[TabHeader::ImgBrowse], (HeaderLook{"ImgBrowseUnselect", false, true, false}));
  EXPECT_EQ(Calls(), "show ImgEdit;ShowLayoutNotice;edit.ActivateInitialControl;");
  EXPECT_TRUE(view.timers[MainTimer::Timer1]);

  // The same tab again: nothing at all.
  EXPECT_FALSE(form.SelectTab(TabHeader::ImgEdit));
  EXPECT_EQ(Calls(), "");

  EXPECT_TRUE(form.SelectTab(TabHeader::ImgBrowse));
  EXPECT_EQ(view.headers[TabHeader::ImgBrowse], (HeaderLook{"ImgBrowseNorm", true, true, true}));
  EXPECT_EQ(view.headers[TabHeader::ImgEdit], (HeaderLook{"ImgEditUnselect", false, true, false}));
  EXPECT_EQ(Calls(), "show ImgBrowse;browse.Focus;");

  // Browse again only refreshes the buttons and focuses the page.
  while (form.TimerOn(MainTimer::Timer1)) form.Timer1Tick();
  EXPECT_FALSE(form.SelectTab(TabHeader::ImgBrowse));
  EXPECT_EQ(Calls(), "browse.Focus;");
  EXPECT_TRUE(view.timers[MainTimer::Timer1]);
}

TEST_F(MainFormTest, EnablingTheSelectedEditTabKeepsItsSelectedPicture) {
  form.SelectTab(TabHeader::ImgEdit);
  form.OnNavigateComplete();  // the page was reloaded after publishing
  EXPECT_EQ(view.headers[TabHeader::ImgEdit], (HeaderLook{"ImgEditNorm", true, true, true}));
}

TEST_F(MainFormTest, HoverAndLeaveOfTheHeaders) {
  // First movement over Edit only notes it; the next one inside shows the hover picture.
  form.HeaderMouseMove(TabHeader::ImgEdit, 5, 5, 96, 28);
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditUnselect");
  form.HeaderMouseMove(TabHeader::ImgEdit, 6, 5, 96, 28);
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditNorm");
  EXPECT_EQ(form.Tabs().HoverTab(), TabHeader::ImgEdit);
  // Outside the header (still captured): the hover goes.
  form.HeaderMouseMove(TabHeader::ImgEdit, 97, 5, 96, 28);
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditUnselect");
  form.HeaderMouseMove(TabHeader::ImgEdit, 96, 28, 96, 28);  // the edges count as inside
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditNorm");
  // Over the window's own surface: the hover goes.
  form.OtherMouseMove();
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditUnselect");
  EXPECT_FALSE(form.Tabs().LastTabUnderMouse());
  // The selected header never hovers.
  form.HeaderMouseMove(TabHeader::ImgBrowse, 5, 5, 96, 28);
  form.HeaderMouseMove(TabHeader::ImgBrowse, 6, 5, 96, 28);
  EXPECT_EQ(Picture(TabHeader::ImgBrowse), "ImgBrowseNorm");
  EXPECT_FALSE(form.Tabs().HoverTab());
  // From Edit's hover straight onto Browse: Edit gets its unselected picture back.
  form.HeaderMouseMove(TabHeader::ImgEdit, 5, 5, 96, 28);
  form.HeaderMouseMove(TabHeader::ImgEdit, 6, 5, 96, 28);
  form.HeaderMouseMove(TabHeader::ImgBrowse, 5, 5, 96, 28);
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditUnselect");
  EXPECT_EQ(form.Tabs().LastTabUnderMouse(), TabHeader::ImgBrowse);
}

TEST_F(MainFormTest, AHeaderDisabledUnderThePointerKeepsItsDisabledPicture) {
  form.HeaderMouseMove(TabHeader::ImgEdit, 5, 5, 96, 28);
  form.HeaderMouseMove(TabHeader::ImgEdit, 6, 5, 96, 28);
  form.OnStartedNavigation();
  form.OtherMouseMove();
  EXPECT_EQ(Picture(TabHeader::ImgEdit), "ImgEditDisabled");
}

TEST_F(MainFormTest, CheckIcons) {
  struct Case {
    std::optional<bool> editable;
    std::string clipboard;
    bool formatting;
    bool paste;
  };
  for (const Case& c : std::vector<Case>{{true, "text", true, true},
                                         {true, "", true, false},
                                         {false, "text", false, false},
                                         {std::nullopt, "text", false, false}}) {
    SCOPED_TRACE(c.clipboard + (c.editable ? (*c.editable ? " editable" : " not editable") : " error"));
    view.clipboard = c.clipboard;
    view.menuPaste = !c.paste;
    form.CheckIcons(c.editable);
    for (ToolbarButton b : {B::Bold, B::Italic, B::Underline}) EXPECT_EQ(Enabled(b), c.formatting);
    EXPECT_EQ(Enabled(B::Paste), c.paste);
    EXPECT_EQ(view.menuPaste, c.paste);
  }
}

TEST_F(MainFormTest, SelectedTextAndEmptyClipboardEnableCutAndCopyButNotPaste) {
  view.clipboard = "";
  form.CheckIcons(true);
  form.OnSelectionChange(true);
  EXPECT_TRUE(Enabled(B::Cut));
  EXPECT_TRUE(Enabled(B::Copy));
  EXPECT_FALSE(Enabled(B::Paste));
}

TEST_F(MainFormTest, CutAndCopyEnablePasteAndCallTheEditPane) {
  for (auto [button, call] : {std::pair{B::Cut, "edit.Edit_Cut"}, std::pair{B::Copy, "edit.Edit_Copy"}}) {
    view.buttons[B::Paste].Disable();
    view.menuPaste = false;
    form.Click(button);
    EXPECT_TRUE(Enabled(B::Paste));
    EXPECT_TRUE(view.menuPaste);
    EXPECT_EQ(Calls(), std::string(call) + ";edit.ActivateBox;");
  }
}

TEST_F(MainFormTest, EditingButtonsCallTheirEditPaneOperations) {
  const std::vector<std::pair<ToolbarButton, std::string>> cases{
      {B::Paste, "edit.Edit_Paste;edit.ActivateBox;"}, {B::Bold, "edit.Bold;edit.ActivateBox;"},
      {B::Italic, "edit.Italic;edit.ActivateBox;"}, {B::Underline, "edit.Underline;edit.ActivateBox;"},
      {B::Undo, "edit.UndoMe;"}, {B::Redo, "edit.RedoMe;"}};
  for (const auto& [button, calls] : cases) {
    form.Click(button);
    EXPECT_EQ(Calls(), calls) << pq::ButtonLabel(button);
  }
  std::string raised;
  form.PreviewCommand = [&] { raised += "preview;"; };
  form.PublishCommand = [&] { raised += "publish;"; };
  form.Click(B::Preview);
  form.Click(B::Publish);
  EXPECT_EQ(raised, "preview;publish;");
}

TEST_F(MainFormTest, NavigationButtons) {
  view.address = "http://site/b.htm";
  const std::vector<std::pair<ToolbarButton, std::string>> cases{
      {B::Back, "edit.Stop;browse.Stop;browse.GoBack;"},
      {B::Forward, "edit.Stop;browse.Stop;browse.GoForward;"},
      {B::Home, "edit.Stop;browse.Stop;browse.GoHome;"},
      {B::Refresh, "edit.Stop;browse.Stop;browse.Navigate http://site/b.htm;"},
      {B::Go, "edit.Stop;browse.Stop;browse.Navigate http://site/b.htm;"}};
  for (const auto& [button, calls] : cases) {
    state.EditTabPreparing = false;
    form.Click(button);
    EXPECT_EQ(Calls(), calls) << pq::ButtonLabel(button);
    // While an edit copy is being prepared, only Go still navigates.
    state.EditTabPreparing = true;
    form.Click(button);
    EXPECT_EQ(Calls(), button == B::Go ? calls : "") << pq::ButtonLabel(button);
  }
}

TEST_F(MainFormTest, GoAndEnterWithAnEmptyAddressDoNothing) {
  view.address = "  ";
  form.Click(B::Go);
  form.OnEnter("");
  EXPECT_EQ(Calls(), "");
}

TEST_F(MainFormTest, Timer1RefreshesTheVisibleButtonsForFourTicks) {
  ASSERT_TRUE(form.TimerOn(MainTimer::Timer1));
  for (int tick = 1; tick <= 4; ++tick) {
    form.Timer1Tick();
    EXPECT_EQ(form.TimerOn(MainTimer::Timer1), tick < 4) << tick;
  }
  EXPECT_EQ(form.ButtonRefreshTicks(), 0);
  EXPECT_FALSE(view.timers[MainTimer::Timer1]);
  // Browse tab: Back and Forward refreshed at each tick, the editing buttons never.
  EXPECT_EQ(view.buttons[B::Back].refreshed, 4);
  EXPECT_EQ(view.buttons[B::Forward].refreshed, 4);
  EXPECT_EQ(view.buttons[B::Home].refreshed, 0);
  EXPECT_EQ(view.buttons[B::Undo].refreshed, 0);
  form.SelectTab(TabHeader::ImgEdit);
  form.Timer1Tick();
  for (ToolbarButton b : {B::Undo, B::Redo, B::Cut, B::Copy, B::Paste, B::Bold, B::Italic, B::Underline})
    EXPECT_EQ(view.buttons[b].refreshed, 1) << pq::ButtonLabel(b);
  EXPECT_EQ(view.buttons[B::Back].refreshed, 4);
  EXPECT_EQ(view.buttons[B::Publish].refreshed, 0);
}

TEST_F(MainFormTest, ForegroundWatchPutsTheCaretBackOnReturn) {
  form.SelectTab(TabHeader::ImgEdit);
  Calls();
  form.Timer2Tick(true);
  EXPECT_FALSE(form.TimerOn(MainTimer::Timer3));
  EXPECT_EQ(view.buttons[B::Undo].refreshed, 1);  // edit pane visible: buttons refreshed
  form.Timer2Tick(false);
  EXPECT_TRUE(form.TimerOn(MainTimer::Timer3));
  form.Timer3Tick(false);
  EXPECT_TRUE(form.TimerOn(MainTimer::Timer3));
  EXPECT_EQ(Calls(), "");
  form.Timer3Tick(true);
  EXPECT_FALSE(form.TimerOn(MainTimer::Timer3));
  EXPECT_EQ(Calls(), "edit.ActivateBox;");
}

TEST_F(MainFormTest, ReturningToTheBrowseTabDoesNotFocusTheHiddenEditPane) {
  form.Timer2Tick(false);
  form.Timer3Tick(true);
  EXPECT_FALSE(form.TimerOn(MainTimer::Timer3));
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(view.buttons[B::Back].refreshed, 0);  // the Browse tab is not refreshed by Timer2
}

}  // namespace
