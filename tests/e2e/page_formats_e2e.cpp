// Pages as older small sites store them, opened in the program that main() runs against the
// site server (which serves every one of them as text/html): XHTML 1.0 pages, with and without
// an XML declaration, are edited as HTML and published with nothing changed outside the edited
// span; pages in UTF-16 or UTF-32 without a byte-order mark are shown readable where the engine
// can read them, and publishing them is refused, naming their encoding, with nothing posted.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "e2e/publishing_e2e_support.h"
#include "main_window_point.h"
#include "shell/widgets/pagequill_app.h"
#include "support/file_text.h"
#include "support/site_server.h"
#include "support/memory_settings.h"

namespace {

using namespace std::chrono_literals;
using pq::TabHeader;
using pq::ToolbarButton;
using pqtest::ClickWidget;
using pqtest::KeyNow;
using pqtest::Script;
using pqtest::TypeNow;
using pqtest::WindowTitled;

bool Shown(GtkWindow* w) { return w && gtk_widget_get_mapped(GTK_WIDGET(w)); }

// Text as the code units of a wide encoding (size 2 or 4 bytes), without a byte-order mark.
std::string Wide(std::u32string_view text, std::size_t size, bool bigEndian) {
  std::string out;
  for (const char32_t c : text) {
    for (std::size_t k = 0; k < size; ++k) {
      const std::size_t shift = 8 * (bigEndian ? size - 1 - k : k);
      out += static_cast<char>((c >> shift) & 0xFF);
    }
  }
  return out;
}

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr const char* kTransitional =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n";
constexpr const char* kStrict =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n";

// An XHTML 1.0 page as such sites write it: empty elements closed with " />", an HTML entity
// that XML does not know, CR LF line ends.
std::string XhtmlPage(const std::string& prolog, const std::string& title) {
  return prolog +
         "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
         "<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n"
         "<title>" + title + "</title>\r\n</head>\r\n<body>\r\n"
         "<h1>Opening hours</h1>\r\n"
         "<p>We bake every day &amp; open at seven.<br />Closed on Mondays.</p>\r\n"
         "<p>Caf&eacute; and tea room upstairs.</p>\r\n"
         "</body>\r\n</html>\r\n";
}

class PageFormats : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (!pqtest::BrowseE2E::Get().ok()) return;
    backup_ = pqtest::BrowseE2E::Get().temp() + "/../backups";
    std::filesystem::create_directories(backup_);
    pqtest::SiteServer::Options o;
    o.backupDir = backup_;
    site_ = new pqtest::SiteServer(o);
    if (!site_->ok()) return;
    settings_ = new pq::MemorySettings();
    settings_->SaveSetting("HideMsg", "DifferentLayout", "Y");
    settings_->SaveSetting("HideMsg", "LinkAmend", "Y");
    home_ = site_->url() + "/index.htm";
    service_ = site_->url() + "/check.php";
    app_ = new pq::PagequillApp(*settings_, {home_.c_str(), service_.c_str()});
    app_->Start();
  }
  static void TearDownTestSuite() {
    if (!documents_.empty()) {
      std::printf("The edit pane read %d of %zu documents as HTML:", asHtml_, documents_.size());
      for (const auto& d : documents_) std::printf(" %s", d.c_str());
      std::printf("\n");
    }
    delete app_;
    app_ = nullptr;
    delete settings_;
    delete site_;
  }
  void SetUp() override {
    ASSERT_TRUE(pqtest::BrowseE2E::Get().ok()) << "no Xvfb display";
    ASSERT_TRUE(site_ && site_->ok()) << "the site server did not start";
    ASSERT_TRUE(pqtest::WaitFor([] { return !W().Form().FirstActivation(); }, 30s));
    ASSERT_TRUE(WaitReady());
    if (W().State().CurrentTab != TabHeader::ImgBrowse) Click(W().Header(TabHeader::ImgBrowse).Widget(), 20, 10);
  }
  void TearDown() override {
    if (HasFailure()) pqtest::ShotOf("-failure");
  }

  static pq::MainFormWindow& W() { return app_->Window(); }
  static std::string Url(const std::string& path) { return site_->url() + "/" + path; }
  static std::string Stored(const std::string& file) { return pqtest::ReadFile(site_->root() + "/" + file); }
  static void Store(const std::string& file, const std::string& bytes) {
    std::ofstream(site_->root() + "/" + file, std::ios::binary) << bytes;
  }

  static void Xdo(const std::vector<std::string>& args) {
    pqtest::XdoNow(args);
    pqtest::Pump(150);
  }
  static void Click(GtkWidget* w, int x, int y) {
    const auto [sx, sy] = pqtest::MainWindowPoint(W(), w, x, y);
    Xdo({"mousemove", "--sync", std::to_string(sx + 1), std::to_string(sy)});
    Xdo({"mousemove", "--sync", std::to_string(sx), std::to_string(sy)});
    Xdo({"click", "1"});
  }
  static bool WaitReady() {
    return pqtest::WaitFor([] {
      return gtk_widget_get_sensitive(W().Header(TabHeader::ImgEdit).Widget()) &&
             !W().State().EditTabPreparing && !W().BrowsePaneWidget().View().Busy();
    }, 30s);
  }
  static void Open(const std::string& file) {
    Click(W().AddressBox().TextBox(), 20, 10);
    Xdo({"key", "ctrl+a"});
    Xdo({"type", "--delay", "5", Url(file)});
    Xdo({"key", "Return"});
    ASSERT_TRUE(WaitReady()) << file;
  }
  static std::string Evaluate(pq::engine::WebView& view, const std::string& script) {
    const auto v = view.Evaluate(script);
    return v ? v->Str() : "(no answer)";
  }
  // Switches to the Edit tab and waits until the edit pane's documents are loaded; counts how
  // each of them was parsed (an XML parse shows the engine's error report instead of the page).
  static void EditTab(const std::string& name, int frames = 0) {
    Click(W().Header(TabHeader::ImgEdit).Widget(), 40, 12);
    pq::engine::WebView& view = W().EditPaneWidget().View();
    EXPECT_TRUE(pqtest::WaitFor([&] {
      return !view.Busy() && !W().State().EditTabPreparing && view.FrameCount() == frames;
    }, 20s)) << name;
    pqtest::Pump(300);
    for (int i = -1; i < frames; ++i) {
      const std::string doc = i < 0 ? "document" : "frames[" + std::to_string(i) + "].document";
      const bool html = Evaluate(view, doc + ".contentType + (" + doc +
                                           ".getElementsByTagName('parsererror').length ? ' error' : '')") ==
                        "text/html";
      documents_.push_back(name + (i < 0 ? "" : "#" + std::to_string(i)) + (html ? "=html" : "=xml"));
      asHtml_ += html ? 1 : 0;
      EXPECT_TRUE(html) << name << " " << doc;
    }
  }
  // Waits for the caret in the first editable span, as a click on the Edit tab puts it there.
  static bool CaretInInitialSpan() {
    pq::engine::WebView& view = W().EditPaneWidget().View();
    const auto& initial = W().EditPaneWidget().Control().InitialControl();
    return !initial.id.empty() && pqtest::WaitFor([&] {
      auto active = view.ActiveElement(initial.frame);
      return active && active->id == initial.id;
    }, 10s);
  }
  // Presses Publish and answers the password form. `refusal` receives the error box's text
  // when there is one (and the password form is then cancelled).
  static void Publish(const std::string& name, std::string* refusal = nullptr) {
    Script script;
    script.Then("password form shown", [] { return Shown(WindowTitled("Publish")); }, [] {
      ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Publish")), "PasswordBox"));
      KeyNow("ctrl+a");
      TypeNow("demo");
      KeyNow("Return");
    });
    if (refusal) {
      script.Then("error box shown", [] { return Shown(WindowTitled("Error")); }, [refusal, name] {
        *refusal = pqtest::LabelTexts(GTK_WIDGET(WindowTitled("Error")));
        pqtest::Pump(500);
        pqtest::ShotOf("-refused-" + name);
        ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Error")), "OKButton"));
      });
      script.Then("back at the password form", [] { return !Shown(WindowTitled("Error")); }, [] {
        ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Publish")), "CancelButton"));
      });
    } else {
      script.Then("complete dialog shown", [] { return Shown(WindowTitled("Publishing Complete")); }, [] {
        pqtest::Pump(300);
        ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Publishing Complete")), "OKbutton"));
      });
    }
    script.Start();
    Click(W().Buttons().Button(ToolbarButton::Publish).Widget(), 29, 25);
    EXPECT_TRUE(pqtest::WaitFor([&] { return script.Done(); }, 90s)) << script.Pending();
    pqtest::Pump(300);
  }
  // Leaves the page in the edit pane with its changes (they were refused or are not wanted).
  static void LeaveEditedPage() {
    Click(W().Header(TabHeader::ImgBrowse).Widget(), 20, 10);
    Script script;
    script.Then("question asked", [] { return Shown(WindowTitled("Unpublished Changes")); }, [] {
      ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Unpublished Changes")), "YesButton"));
    });
    script.Start();
    Open("about.htm");
    EXPECT_TRUE(pqtest::WaitFor([&] { return script.Done(); }, 20s)) << script.Pending();
  }
  static std::pair<std::size_t, std::size_t> SourceRange(const std::string& id) {
    for (const auto& s : W().BrowsePaneWidget().Control().Record.page.edit.layout.spans)
      if (s.Id() == id) return {s.sourceBegin, s.sourceEnd};
    ADD_FAILURE() << "no span " << id;
    return {0, 0};
  }

  static pqtest::SiteServer* site_;
  static pq::MemorySettings* settings_;
  static pq::PagequillApp* app_;
  static std::string home_, service_, backup_;
  static std::vector<std::string> documents_;
  static int asHtml_;
};

pqtest::SiteServer* PageFormats::site_ = nullptr;
pq::MemorySettings* PageFormats::settings_ = nullptr;
pq::PagequillApp* PageFormats::app_ = nullptr;
std::string PageFormats::home_, PageFormats::service_, PageFormats::backup_;
std::vector<std::string> PageFormats::documents_;
int PageFormats::asHtml_ = 0;

TEST_F(PageFormats, XhtmlPagesAreEditedAsHtmlAndOnlyTheEditedSpanChanges) {
  const struct {
    const char* file;
    std::string page;
  } pages[] = {
      {"xhtml-declared.htm", XhtmlPage(std::string(kXmlDeclaration) + kTransitional, "Declared")},
      {"xhtml-strict.htm", XhtmlPage(kStrict, "Strict")},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.file);
    // Each page on its own: one that fails leaves the others to run.
    [&] {
      if (W().State().CurrentTab != TabHeader::ImgBrowse)
        Click(W().Header(TabHeader::ImgBrowse).Widget(), 20, 10);
      Store(p.file, p.page);
      const int backups = pqtest::FilesIn(backup_);
      Open(p.file);
      EditTab(p.file);
      ASSERT_TRUE(CaretInInitialSpan()) << "no editable text in the edit pane";
      const std::string id = W().EditPaneWidget().Control().InitialControl().id;
      const auto [from, to] = SourceRange(id);
      ASSERT_LT(from, to);
      Xdo({"type", "--delay", "20", "Fresh "});
      Publish(p.file);
      const std::string after = Stored(p.file);
      const std::string& before = p.page;
      ASSERT_EQ(after.size(), before.size() + 6) << after;
      EXPECT_EQ(after.substr(0, from), before.substr(0, from));
      EXPECT_EQ(after.substr(to + 6), before.substr(to));
      EXPECT_NE(after.substr(from, to + 6 - from).find("Fresh "), std::string::npos) << after;
      EXPECT_EQ(pqtest::FilesIn(backup_), backups + 1);
    }();
  }
}

// Frames' copies come to the edit pane the same way as the page's own.
TEST_F(PageFormats, XhtmlFramesAreEditedAsHtml) {
  Store("xframes.htm",
        std::string(kXmlDeclaration) +
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Frameset//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd\">\r\n"
            "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Frames</title></head>\r\n"
            "<frameset cols=\"50%,50%\"><frame src=\"xframe-a.htm\" /><frame src=\"xframe-b.htm\" />"
            "</frameset></html>\r\n");
  Store("xframe-a.htm", XhtmlPage(std::string(kXmlDeclaration) + kTransitional, "Left"));
  Store("xframe-b.htm", XhtmlPage(kStrict, "Right"));
  Open("xframes.htm");
  EditTab("xframes.htm", 2);
  pq::engine::WebView& view = W().EditPaneWidget().View();
  for (const pq::FramePath& frame : {pq::FramePath{0}, pq::FramePath{1}}) {
    const auto spans = view.Spans(frame);
    ASSERT_TRUE(spans) << frame[0];
    EXPECT_FALSE(spans->elements.empty()) << "no editable text in frame " << frame[0];
  }
  pqtest::Pump(500);
  pqtest::ShotOf("-edit");
}

TEST_F(PageFormats, WidePagesAreReadableAndNeverPublished) {
  const std::u32string page =
      U"<html><head><title>Wide</title></head>\r\n<body>\r\n"
      U"<p>Caf\u00e9 prices in \u20ac this week.</p>\r\n<p>Second paragraph.</p>\r\n</body></html>\r\n";
  const std::string readable = "Caf\xC3\xA9 prices in \xE2\x82\xAC this week.";
  const struct {
    const char* file;
    std::string bytes;
    const char* encoding;
    bool engineReads;  // the browse pane can show it (the engine reads no UTF-32)
  } pages[] = {
      {"utf16le.htm", Wide(page, 2, false), "UTF-16LE", true},
      {"utf16be.htm", Wide(page, 2, true), "UTF-16BE", true},
      {"utf32le.htm", Wide(page, 4, false), "UTF-32LE", false},
      {"utf32le-bom.htm", Wide(U"\uFEFF" + page, 4, false), "UTF-32LE", false},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.file);
    Store(p.file, p.bytes);
    const int backups = pqtest::FilesIn(backup_);
    Open(p.file);
    pq::engine::WebView& browse = W().BrowsePaneWidget().View();
    const std::string shown = Evaluate(browse, "document.body ? document.body.innerText : ''");
    if (p.engineReads) {
      EXPECT_NE(shown.find(readable), std::string::npos) << shown;
      EXPECT_EQ(Evaluate(browse, "document.characterSet"), p.encoding);
    }
    pqtest::Pump(500);
    pqtest::ShotOf(std::string("-browse-") + p.file);

    EditTab(p.file);
    ASSERT_TRUE(CaretInInitialSpan()) << "no editable text in the edit pane";
    const std::string edited = Evaluate(W().EditPaneWidget().View(), "document.body.innerText");
    EXPECT_NE(edited.find(readable), std::string::npos) << edited;
    Xdo({"type", "--delay", "20", "Fresh "});
    std::string refusal;
    Publish(p.file, &refusal);
    EXPECT_NE(refusal.find(std::string("stored in ") + p.encoding), std::string::npos) << refusal;
    EXPECT_EQ(Stored(p.file), p.bytes);
    EXPECT_EQ(pqtest::FilesIn(backup_), backups);
    LeaveEditedPage();
    // The next page is read by its own declarations again.
    EXPECT_EQ(Evaluate(browse, "document.characterSet"), "UTF-8");
  }
}

}  // namespace
