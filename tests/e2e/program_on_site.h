// The program itself (the object main() runs) on a site server of the demo pages, shared by
// the end-to-end suites that drive its main window with real pointer and key events.
#pragma once
#include <gtk/gtk.h>

#include <chrono>
#include <memory>
#include <string>

#include "browse_e2e_support.h"
#include "editing_input.h"
#include "main_window_point.h"
#include "shell/widgets/pagequill_app.h"
#include "support/memory_settings.h"
#include "support/site_server.h"

namespace pqtest {

class ProgramOnSite {
 public:
  // `page`: the home page's path on the site, as an address holds it ("/index.htm").
  explicit ProgramOnSite(const std::string& page) {
    if (!BrowseE2E::Get().ok()) return;
    site_ = std::make_unique<SiteServer>();
    if (!site_->ok()) return;
    settings_.SaveSetting("HideMsg", "DifferentLayout", "Y");
    home_ = site_->url() + page;
    service_ = site_->url() + "/check.php";
    app_ = std::make_unique<pq::PagequillApp>(settings_, pq::PagequillApp::Environment{home_.c_str(), service_.c_str()});
    app_->Start();
  }
  bool ok() const { return app_ != nullptr; }
  pq::MainFormWindow& Window() { return app_->Window(); }
  pq::engine::WebView& EditView() { return Window().EditPaneWidget().View(); }

  // The home page shown and its Edit tab ready.
  bool Ready() {
    using namespace std::chrono_literals;
    return WaitFor([this] { return !Window().Form().FirstActivation(); }, 30s) && WaitFor([this] {
             return gtk_widget_get_sensitive(Window().Header(pq::TabHeader::ImgEdit).Widget()) &&
                    !Window().State().EditTabPreparing;
           }, 30s);
  }

  // A real click at (x, y) of a widget of the main window.
  void Click(GtkWidget* w, int x, int y) {
    const auto [sx, sy] = MainWindowPoint(Window(), w, x, y);
    editing::MoveTo(sx, sy);
    editing::Xdo({"click", "1"});
  }

  // The header answers a press after the pointer has moved over it; a first click into a fresh
  // window can be lost, so it is repeated until the tab shows (at most three times).
  void ShowEditTab() {
    using namespace std::chrono_literals;
    for (int attempt = 0; attempt < 3 && Window().State().CurrentTab != pq::TabHeader::ImgEdit; ++attempt) {
      Click(Window().Header(pq::TabHeader::ImgEdit).Widget(), 40, 12);
      WaitFor([this] { return Window().State().CurrentTab == pq::TabHeader::ImgEdit; }, 2s);
    }
  }

 private:
  std::unique_ptr<SiteServer> site_;
  pq::MemorySettings settings_;
  std::string home_, service_;
  std::unique_ptr<pq::PagequillApp> app_;  // last: gone before the settings and the site
};

}  // namespace pqtest
