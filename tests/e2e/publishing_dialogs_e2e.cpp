// The Password, Publish and Preview forms under Xvfb with real keys and clicks, against the
// site server: a page prepared from the server as the browse pane prepares it, spans edited as
// the edit pane would report them, and the files the server stores compared byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "e2e/publishing_e2e_support.h"
#include "text/text_util.h"
#include "publishing/widgets/password_form.h"
#include "publishing/widgets/preview_form.h"
#include "publishing/widgets/preview_window.h"
#include "publishing/widgets/publish_form.h"
#include "support/fault_proxy.h"
#include "support/file_text.h"
#include "support/private_temp.h"
#include "support/site_server.h"

namespace {

testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new pqtest::GtkOnXvfb);

using pqtest::ClickWidget;
using pqtest::FilesIn;
using pqtest::KeyNow;
using pqtest::Script;
using pqtest::TypeNow;
using pqtest::WindowTitled;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class PublishingDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    backup = temp.path() + "/backups";
    std::filesystem::create_directories(backup);
    pqtest::SiteServer::Options o;
    o.backupDir = backup;
    o.flags = "YYY";
    o.extraArgs = {"--mail-file", temp.path() + "/mail.txt", "--mail-interval", "0"};
    site = std::make_unique<pqtest::SiteServer>(o);
    ASSERT_TRUE(site->ok());
    host = std::make_unique<pqtest::TestHost>(temp.path() + "/config/settings.ini");
  }
  void TearDown() override {
    if (HasFailure()) pqtest::Shot("-failure");
    pq::PreviewWindow::CloseAll();
    pqtest::Pump(200);
  }
  std::string Url(const std::string& file) const { return site->url() + "/" + file; }
  std::string Stored(const std::string& file) const { return pqtest::ReadFile(site->root() + "/" + file); }

  // Runs the Password form with a script that types the password and presses Enter.
  pq::Password::Result PublishWith(pq::Password& form, Script& script) {
    script.Start();
    const auto result = form.Run();
    EXPECT_TRUE(script.Done()) << "left at: " << script.Pending();
    return result;
  }
  static bool Shown(GtkWindow* w) { return w && gtk_widget_get_mapped(GTK_WIDGET(w)); }

  pqtest::PrivateTemp temp;
  std::string backup;
  std::unique_ptr<pqtest::SiteServer> site;
  std::unique_ptr<pqtest::TestHost> host;
};

TEST_F(PublishingDialogs, EditedSpanIsStoredAndNothingElseChanges) {
  const std::string before = Stored("index.htm");
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  host->live().Edit({}, "ZZZEDIT2", "Fresh bread every morning");

  pq::Password form(nullptr, *host);
  std::chrono::steady_clock::time_point publishShown;
  Script script;
  script
      .Then("password form shown", [&] { return Shown(form.Window()); },
            [&] {
              EXPECT_EQ(std::string(gtk_label_get_text(GTK_LABEL(form.Label1))),
                        "Please enter password for " + site->url());
              ClickWidget(form.PasswordBox);
              TypeNow("demo");
            })
      .Then("password typed",
            [&] { return std::string(gtk_entry_get_text(GTK_ENTRY(form.PasswordBox))) == "demo"; },
            [&] {
              pqtest::Shot("-password");
              KeyNow("Return");
            })
      .Then("publishing form shown", [&] { return Shown(WindowTitled("Publish Changes")); },
            [&] { publishShown = std::chrono::steady_clock::now(); })
      .Then("animation running", [&] {
              return std::chrono::steady_clock::now() - publishShown > std::chrono::milliseconds(900);
            },
            [&] { pqtest::Shot("-publishing"); });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  const auto shownFor = std::chrono::steady_clock::now() - publishShown;
  EXPECT_EQ(host->completed, 1);
  EXPECT_EQ(host->refreshes, 1);
  EXPECT_GE(shownFor, std::chrono::milliseconds(5900)) << "the form stays at least six seconds";

  EXPECT_EQ(Stored("index.htm"),
            Replaced(before, "Welcome to the Lindenhof Bakery", "Fresh bread every morning"));
  EXPECT_EQ(FilesIn(backup), 1);
  EXPECT_EQ(host->dropped, std::vector<std::string>{Url("index.htm")});
}

TEST_F(PublishingDialogs, Latin1PageStaysLatin1) {
  const std::string before = Stored("history.htm");
  ASSERT_TRUE(host->Prepare({Url("history.htm"), {}}));
  EXPECT_EQ(host->Record().page.source.charset, "windows-1252");
  host->live().Edit({}, "ZZZEDIT2", "Notre histoire \xC3\xA9 \xE2\x82\xAC");
  pq::Password form(nullptr, *host);
  Script script;
  script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
    ClickWidget(form.PasswordBox);
    TypeNow("demo");
    KeyNow("Return");
  });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  EXPECT_EQ(Stored("history.htm"), Replaced(before, "Our history", "Notre histoire \xE9 &#8364;"));
}

// A publication whose reply is lost or cut short after the page was stored is neither
// "failed" nor guessed: the website is asked, and the very bytes posted mean published.
TEST_F(PublishingDialogs, AReplyLostAfterTheStoreIsReportedAsPublished) {
  std::string was = "This week";
  for (const auto fault : {pqtest::FaultProxy::Fault::LoseReply, pqtest::FaultProxy::Fault::CutShort}) {
    SCOPED_TRACE(fault == pqtest::FaultProxy::Fault::LoseReply ? "reply lost" : "reply cut short");
    pqtest::FaultProxy proxy(site->url());
    proxy.SetFault(fault);
    const std::string before = Stored("index.htm");
    host = std::make_unique<pqtest::TestHost>(temp.path() + "/config/settings.ini");
    ASSERT_TRUE(host->Prepare({proxy.url() + "/index.htm", {}}));
    const std::string typed = fault == pqtest::FaultProxy::Fault::LoseReply ? "Lost reply" : "Short reply";
    host->live().Edit({}, "ZZZEDIT6", typed);
    pq::Password form(nullptr, *host);
    Script script;
    script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
      ClickWidget(form.PasswordBox);
      TypeNow("demo");
      KeyNow("Return");
    });
    EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
    EXPECT_EQ(proxy.Publications(), 1);
    EXPECT_EQ(host->completed, 1);
    EXPECT_EQ(Stored("index.htm"), Replaced(before, "<h2>" + was, "<h2>" + typed));
    was = typed;
  }
}

// Cancel while the website holds the pass-key request, the post, or the post's reply: the
// transfer is aborted, the form goes at once, and the user is told what became of the page (a
// post that may have been stored is checked on the website).
TEST_F(PublishingDialogs, CancelWhileTheWebsiteHoldsARequestSaysWhatBecameOfThePage) {
  using Fault = pqtest::FaultProxy::Fault;
  const std::string notPublished =
      "Publishing was cancelled. Nothing was published.\n\n"
      "These pages were not published: index.htm.";
  const struct {
    const char* name;
    Fault fault;
    bool stored;
  } cases[] = {
      {"pass-key request held", Fault::HoldPassKey, false},
      {"post held before the server", Fault::HoldPost, false},
      {"reply held after the store", Fault::HoldReply, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pqtest::FaultProxy proxy(site->url());
    proxy.SetFault(c.fault);
    const std::string before = Stored("index.htm");
    host = std::make_unique<pqtest::TestHost>(temp.path() + "/config/settings.ini");
    ASSERT_TRUE(host->Prepare({proxy.url() + "/index.htm", {}}));
    const std::string typed = std::string("Cancelled: ") + c.name;
    host->live().Edit({}, "ZZZEDIT6", typed);
    pq::Password form(nullptr, *host);
    // The moments Cancel was clicked and the Publish form went, as the display saw them.
    gint64 clicked = 0, gone = 0;
    std::string message;
    GtkWindow* box = nullptr;
    Script script;
    script
        .Then("password form shown", [&] { return Shown(form.Window()); },
              [&] {
                ClickWidget(form.PasswordBox);
                TypeNow("demo");
                KeyNow("Return");
              })
        .Then("request held by the website",
              [&] { return proxy.Held() == 1 && Shown(WindowTitled("Publish Changes")); },
              [&] {
                GtkWindow* publish = WindowTitled("Publish Changes");
                g_signal_connect(publish, "unmap", G_CALLBACK(+[](GtkWidget*, gpointer at) {
                                   *static_cast<gint64*>(at) = g_get_monotonic_time();
                                 }),
                                 &gone);
                pqtest::Shot("-held");
                ClickWidget(pqtest::FindByName(GTK_WIDGET(publish), "CancelButton"));
                clicked = g_get_monotonic_time();
              });
    if (c.stored) {
      EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
      EXPECT_EQ(host->completed, 1) << "the check found the page stored";
      // As after any publication: the page is marked published and the browse pane reloaded.
      EXPECT_EQ(host->refreshes, 1);
      EXPECT_EQ(Stored("index.htm"), Replaced(before, "<h2>This week", "<h2>" + typed));
    } else {
      script
          .Then("outcome shown", [&] { return Shown(box = WindowTitled("Publishing Cancelled")); },
                [&] {
                  message = pqtest::LabelTexts(GTK_WIDGET(box));
                  pqtest::Shot("-outcome");
                  ClickWidget(pqtest::FindByName(GTK_WIDGET(box), "OKButton"));
                })
          .Then("back at the password form",
                [&] { return !Shown(WindowTitled("Publishing Cancelled")) && Shown(form.Window()); },
                [&] { ClickWidget(form.CancelButton); });
      EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Cancelled);
      EXPECT_NE(message.find(notPublished), std::string::npos) << message;
      EXPECT_EQ(host->completed, 0);
      EXPECT_EQ(host->refreshes, 0);
      EXPECT_EQ(Stored("index.htm"), before) << "the post never reached the website";
      EXPECT_EQ(proxy.Publications(), 0);
    }
    EXPECT_EQ(proxy.Held(), 1);
    ASSERT_NE(gone, 0) << "the Publish form never closed";
    // The click's own tool returns after the press, so the form may already have gone.
    EXPECT_LT(gone - clicked, G_TIME_SPAN_SECOND) << "the form closes within a second";
    proxy.Release();
  }
}

TEST_F(PublishingDialogs, UntouchedPagePostsNothingAndCompletes) {
  const std::string before = Stored("index.htm");
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  pq::Password form(nullptr, *host);
  Script script;
  script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
    // With nothing changed nothing is sent, so no password is needed.
    ClickWidget(form.OKButton);
  });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  EXPECT_EQ(host->completed, 1);
  EXPECT_EQ(Stored("index.htm"), before);
  EXPECT_EQ(FilesIn(backup), 0) << "nothing was posted";
  EXPECT_TRUE(host->dropped.empty());
}

TEST_F(PublishingDialogs, WrongPasswordShowsTheErrorAndTheRightOneThenPublishes) {
  const std::string before = Stored("index.htm");
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  host->live().Edit({}, "ZZZEDIT6", "Next week");
  pq::Password form(nullptr, *host);
  GtkWindow* errorBox = nullptr;
  Script script;
  script
      .Then("password form shown", [&] { return Shown(form.Window()); },
            [&] {
              ClickWidget(form.PasswordBox);
              TypeNow("wrong");
              KeyNow("Return");
            })
      .Then("error box shown", [&] { return Shown(errorBox = WindowTitled("Error")); },
            [&] {
              EXPECT_TRUE(pqtest::HasLabel(GTK_WIDGET(errorBox), "Wrong password"));
              pqtest::Shot("-error");
              ClickWidget(pqtest::FindByName(GTK_WIDGET(errorBox), "OKButton"));
            })
      .Then("back at the password form",
            [&] { return !Shown(WindowTitled("Error")) && Shown(form.Window()); },
            [&] {
              EXPECT_EQ(FilesIn(backup), 0);
              EXPECT_TRUE(gtk_widget_has_focus(form.PasswordBox));
              KeyNow("ctrl+a");
              TypeNow("demo");
              KeyNow("Return");
            });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  EXPECT_EQ(host->completed, 1);
  EXPECT_EQ(Stored("index.htm"), Replaced(before, "<h2>This week", "<h2>Next week"));
}

TEST_F(PublishingDialogs, RememberedPasswordIsOfferedAndUntickingForgetsIt) {
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  const std::string key = pq::AsciiLower(site->url());
  {
    pq::Password form(nullptr, *host);
    Script script;
    script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
      EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(form.RememberCheckbox)));
      ClickWidget(form.RememberCheckbox);
      ClickWidget(form.PasswordBox);
      TypeNow("demo");
      KeyNow("Return");
    });
    EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  }
  EXPECT_EQ(host->UserSettings().GetSetting("passwords", key), "demo");
  struct stat st {};
  ASSERT_EQ(stat((temp.path() + "/config/settings.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  {
    pq::Password form(nullptr, *host);
    Script script;
    script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
      EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(form.PasswordBox))), "demo");
      EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(form.RememberCheckbox)));
      ClickWidget(form.RememberCheckbox);
      ClickWidget(form.OKButton);
    });
    EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  }
  EXPECT_EQ(host->UserSettings().GetSetting("passwords", key, "absent"), "");
}

TEST_F(PublishingDialogs, CancelPublishesNothing) {
  const std::string before = Stored("index.htm");
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  host->live().Edit({}, "ZZZEDIT2", "Never sent");
  pq::Password form(nullptr, *host);
  Script script;
  script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
    ClickWidget(form.CancelButton);
  });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Cancelled);
  EXPECT_EQ(host->completed, 0);
  EXPECT_EQ(Stored("index.htm"), before);
}

TEST_F(PublishingDialogs, ForgottenPasswordIsMailed) {
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  host->emailAllowed = true;
  pq::Password form(nullptr, *host);
  GtkWindow* notice = nullptr;
  Script script;
  script
      .Then("password form shown", [&] { return Shown(form.Window()); },
            [&] { ClickWidget(form.LabelForgot); })
      .Then("notice shown", [&] { return Shown(notice = WindowTitled("Forgotten Password")); },
            [&] { ClickWidget(pqtest::FindByName(GTK_WIDGET(notice), "OKButton")); })
      .Then("back at the password form",
            [&] { return !Shown(WindowTitled("Forgotten Password")); },
            [&] { ClickWidget(form.CancelButton); });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Cancelled);
  EXPECT_NE(pqtest::ReadFile(temp.path() + "/mail.txt").find("demo"), std::string::npos);
}

TEST_F(PublishingDialogs, FramesetSendsOnlyTheEditedFrame) {
  const pqtest::FrameShape shape{
      Url("frames.htm"),
      {{Url("frame-menu.htm"), {}},
       {Url("frame-inner.htm"), {{Url("frame-news.htm"), {}}, {Url("frame-hours.htm"), {}}}}}};
  std::map<std::string, std::string> before;
  for (const char* f : {"frames.htm", "frame-menu.htm", "frame-inner.htm", "frame-news.htm",
                        "frame-hours.htm"})
    before[f] = Stored(f);
  ASSERT_TRUE(host->Prepare(shape));
  host->live().Edit({1, 0}, "ZZZEDIT1", "News of the week");
  pq::Password form(nullptr, *host);
  Script script;
  script.Then("password form shown", [&] { return Shown(form.Window()); }, [&] {
    ClickWidget(form.PasswordBox);
    TypeNow("demo");
    KeyNow("Return");
  });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Published);
  for (const auto& [file, bytes] : before) {
    if (file == "frame-news.htm")
      EXPECT_EQ(Stored(file), Replaced(bytes, "This week at the Lindenhof", "News of the week"));
    else
      EXPECT_EQ(Stored(file), bytes) << file;
  }
  EXPECT_EQ(FilesIn(backup), 1);
  EXPECT_EQ(host->storedFiles, std::vector<std::string>{"frame-news.htm"});
}

TEST_F(PublishingDialogs, CancelBetweenSubmissionsTellsWhatWasAlreadyStored) {
  const pqtest::FrameShape shape{
      Url("frames.htm"),
      {{Url("frame-menu.htm"), {}},
       {Url("frame-inner.htm"), {{Url("frame-news.htm"), {}}, {Url("frame-hours.htm"), {}}}}}};
  const std::string menu = Stored("frame-menu.htm"), news = Stored("frame-news.htm");
  ASSERT_TRUE(host->Prepare(shape));
  host->live().Edit({0}, "ZZZEDIT1", "Menu of the week");
  host->live().Edit({1, 0}, "ZZZEDIT1", "News of the week");
  pq::Password form(nullptr, *host);
  // The user presses Cancel while the first frame is being sent.
  host->afterSubmission = [&](const std::string&) {
    if (host->dropped.size() != 1) return;
    ClickWidget(pqtest::FindByName(GTK_WIDGET(WindowTitled("Publish Changes")), "CancelButton"));
    pqtest::Pump(300);
  };
  GtkWindow* errorBox = nullptr;
  std::string message;
  Script script;
  script
      .Then("password form shown", [&] { return Shown(form.Window()); },
            [&] {
              ClickWidget(form.PasswordBox);
              TypeNow("demo");
              KeyNow("Return");
            })
      .Then("outcome shown", [&] { return Shown(errorBox = WindowTitled("Publishing Cancelled")); },
            [&] {
              message = pqtest::LabelTexts(GTK_WIDGET(errorBox));
              pqtest::Shot("-cancelled");
              ClickWidget(pqtest::FindByName(GTK_WIDGET(errorBox), "OKButton"));
            })
      .Then("back at the password form",
            [&] { return !Shown(WindowTitled("Publishing Cancelled")); },
            [&] { ClickWidget(form.CancelButton); });
  EXPECT_EQ(PublishWith(form, script), pq::Password::Result::Cancelled);
  EXPECT_NE(message.find("Publishing was cancelled. These pages were already published: "
                         "frame-menu.htm.\n\nThese pages were not published: frame-news.htm."),
            std::string::npos)
      << message;
  EXPECT_EQ(host->completed, 0);
  EXPECT_NE(Stored("frame-menu.htm"), menu);
  EXPECT_EQ(Stored("frame-news.htm"), news);
  EXPECT_EQ(FilesIn(backup), 1);
}

TEST_F(PublishingDialogs, PreviewShowsTheEditedTextBeforeAnythingIsPosted) {
  const std::string before = Stored("index.htm");
  ASSERT_TRUE(host->Prepare({Url("index.htm"), {}}));
  host->live().Edit({}, "ZZZEDIT2", "Previewed headline");
  pq::Preview form(nullptr, *host);
  const auto start = std::chrono::steady_clock::now();
  Script script;
  script.Then("preview form shown", [&] { return Shown(form.Window()); },
              [&] { pqtest::Shot("-preparing"); });
  script.Start();
  pq::PreviewWindow* window = form.Run();
  EXPECT_TRUE(script.Done());
  ASSERT_NE(window, nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
  EXPECT_TRUE(pqtest::WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(window->Window())); }));
  EXPECT_NE(window->View().OuterHTML().find("Previewed headline"), std::string::npos);
  pqtest::Pump(500);
  pqtest::Shot("-window");
  EXPECT_EQ(Stored("index.htm"), before);
  EXPECT_EQ(FilesIn(backup), 0);
  // The window outlives the form and reports its closing.
  bool quit = false;
  window->Quit = [&] { quit = true; };
  window->Close();
  EXPECT_TRUE(quit);
}

TEST_F(PublishingDialogs, FramesetPreviewShowsEachFrameFromItsCopy) {
  const pqtest::FrameShape shape{
      Url("frames.htm"),
      {{Url("frame-menu.htm"), {}},
       {Url("frame-inner.htm"), {{Url("frame-news.htm"), {}}, {Url("frame-hours.htm"), {}}}}}};
  ASSERT_TRUE(host->Prepare(shape));
  host->live().Edit({1, 0}, "ZZZEDIT1", "Framed preview news");
  pq::Preview form(nullptr, *host);
  pq::PreviewWindow* window = form.Run();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(pqtest::WaitFor([&] {
    return window->View().OuterHTML({1, 0}).find("Framed preview news") != std::string::npos;
  }));
  // Each frame shows its preview copy, the untouched ones too.
  EXPECT_NE(window->View().FrameLocation({0}).value_or("").find("frmpreview"), std::string::npos);
  EXPECT_NE(window->View().OuterHTML({0}).find("Weekly news"), std::string::npos);
  EXPECT_FALSE(host->Frames()[1].PreviewFile.empty());
  pqtest::Pump(1500);
  pqtest::Shot("-frames");
}

}  // namespace
