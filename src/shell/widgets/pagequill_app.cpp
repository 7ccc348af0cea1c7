#include "shell/widgets/pagequill_app.h"

#include <gtk/gtk.h>

#include "core/data_folder.h"
#include "engine/http_fetch.h"
#include "publishing/widgets/message_box.h"
#include "shell/home_page.h"

namespace pq {

namespace {
// Only web addresses go to the network; other pages (the bundled start page) are taken as the
// engine shows them.
FetchedPage FetchWebPage(const std::string& url) {
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return {};
  return engine::FetchPage(url);
}
}  // namespace

PagequillApp::PagequillApp(Settings& settings, const Environment& environment)
    : settings_(settings), service_(ServiceCheckAddress(environment.service, settings)) {
  window_ = std::make_unique<MainFormWindow>(
      settings_, HomePageURL(environment.home, settings_, DataFolder()), FetchWebPage);
  window_->Closed = [this] { End(0); };
  window_->ShowSplash = [this](std::function<void()> done) {
    splash_ = std::make_unique<SplashFrm>(service_, [](const std::string& url) {
      return engine::GetURLText(url);
    });
    splash_->Finished = [this, done = std::move(done)](bool ok) {
      if (!ok) {
        End(1);
        return;
      }
      done();
      // What the settings store has to say comes once the window is up.
      settings_.SetNoticeHandler([this](const std::string& message) {
        ShowMessage(window_->Window(), "Pagequill Settings", message, MessageIcon::Information);
      });
    };
    splash_->Show();
  };
}

PagequillApp::~PagequillApp() {
  splash_.reset();
  window_.reset();
}

void PagequillApp::Start() { window_->Show(); }

void PagequillApp::End(int code) {
  if (ended_) return;
  ended_ = true;
  gtk_widget_hide(GTK_WIDGET(window_->Window()));
  if (Ended) Ended(code);
}

}  // namespace pq
