#pragma once
// A window holding the browse pane and the edit pane side by side, wired as the main window
// wires them: every page the browse pane prepares is loaded into the edit pane. Used by the
// end-to-end tests and for screenshots until the main window holds both panes.
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/widgets/edit_control_widget.h"
#include "engine/gobject_ptr.h"
#include "engine/http_fetch.h"
#include "pageprep/frame_table.h"
#include "publishing/problems.h"
#include "publishing/site_check.h"
#include "publishing/widgets/problems_dialog.h"
#include "shell/widgets/browse_control_widget.h"
#include "core/window_state.h"

namespace pqtest {

class EditPaneWindow {
 public:
  explicit EditPaneWindow(const std::string& homePage, int width = 1280, int height = 760)
      : problems(pq::SettingUpHelpAddress()),
        window_(pq::engine::GObjectPtr<GtkWidget>::Sink(gtk_window_new(GTK_WINDOW_TOPLEVEL))) {
    gtk_window_set_title(GTK_WINDOW(window_.get()), "Pagequill - browse and edit panes");
    gtk_window_set_default_size(GTK_WINDOW(window_.get()), width, height);
    gtk_window_move(GTK_WINDOW(window_.get()), 0, 0);
    auto fetch = [](const std::string& url) { return pq::engine::FetchPage(url); };
    browse = std::make_unique<pq::BrowseControlWidget>(state, frames, fetch);
    edit = std::make_unique<pq::EditControlWidget>(state, frames, site, problems, fetch);
    browse->View().SetHomePage(homePage);

    // Two halves of the same width.
    GtkWidget* halves = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_box_set_homogeneous(GTK_BOX(halves), TRUE);
    gtk_box_pack_start(GTK_BOX(halves), Titled("Browse", browse->Widget()), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(halves), Titled("Edit", edit->Widget()), TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(window_.get()), halves);

    pq::BrowseControl& b = browse->Control();
    pq::EditControl& e = edit->Control();
    b.StartedNavigation = [this] { Log("StartedNavigation"); };
    b.ButtonsDisable = [this] { Log("ButtonsDisable"); };
    b.PageCantBeDisplayed = [this] { Log("PageCantBeDisplayed"); };
    b.NavigationComplete = [this] {
      Log("NavigationComplete");
      edit->Control().Navigate();
    };
    b.EarlyEditCopy = [this] {
      Log("EarlyEditCopy");
      edit->Control().Preload();
    };
    e.ButtonsEnable = [this] { Log("ButtonsEnable"); };
    e.NavigateComplete = [this] {
      Log("NavigateComplete");
      browse->Control().SetStatusText("Done", 100, 100);  // as the main window says it
    };
    e.UndoChange = [this](bool& enable) { Log(std::string("UndoChange ") + (enable ? "1" : "0")); };
    e.RedoChange = [this](bool& enable) { Log(std::string("RedoChange ") + (enable ? "1" : "0")); };
  }
  ~EditPaneWindow() {
    // The panes go before the window that holds their widgets.
    GtkWidget* halves = gtk_bin_get_child(GTK_BIN(window_.get()));
    GList* frames = gtk_container_get_children(GTK_CONTAINER(halves));
    for (GList* f = frames; f; f = f->next) {
      GtkWidget* frame = GTK_WIDGET(f->data);
      GList* children = gtk_container_get_children(GTK_CONTAINER(frame));
      for (GList* c = children; c; c = c->next) {
        GtkWidget* w = GTK_WIDGET(c->data);
        if (GTK_IS_BOX(w)) gtk_container_remove(GTK_CONTAINER(frame), w);
      }
      g_list_free(children);
    }
    g_list_free(frames);
    edit.reset();
    browse.reset();
    gtk_widget_destroy(window_.get());
  }
  EditPaneWindow(const EditPaneWindow&) = delete;
  EditPaneWindow& operator=(const EditPaneWindow&) = delete;

  void Show() {
    gtk_widget_show_all(window_.get());
    browse->Control().GoHome();
  }
  GtkWidget* Window() const { return window_.get(); }

  int Count(const std::string& e) const {
    int n = 0;
    for (const auto& l : log) n += l == e;
    return n;
  }

  pq::WindowState state;
  pq::FrameTable frames;
  pq::SiteStatus site;
  pq::Problems problems;
  std::unique_ptr<pq::BrowseControlWidget> browse;
  std::unique_ptr<pq::EditControlWidget> edit;
  std::vector<std::string> log;

 private:
  void Log(const std::string& e) { log.push_back(e); }
  // A pane under a small caption, as the tabs will show them.
  static GtkWidget* Titled(const char* title, GtkWidget* pane) {
    GtkWidget* frame = gtk_frame_new(title);
    gtk_container_add(GTK_CONTAINER(frame), pane);
    return frame;
  }
  pq::engine::GObjectPtr<GtkWidget> window_;
};

}  // namespace pqtest
