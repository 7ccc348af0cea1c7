#pragma once
// A web view wired to the editing logic as the edit pane wires it, over a marked-up copy of a
// page, with real pointer and key events through xdotool. It stands in for the edit pane where a
// test needs the editing alone.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "browse_e2e_support.h"
#include "editor/edit_session.h"
#include "editor/word_keys.h"
#include "editor/widgets/edit_menu.h"
#include "editor/widgets/pulsing_frame.h"
#include "editor/widgets/web_view_editing_page.h"
#include "engine/in_page_runtime.h"
#include "engine/web_view.h"
#include "editing_input.h"
#include "support/child_process.h"

namespace pqtest {

using editing::Xdo;

// Answers the next modal message box with OK and keeps its title and text.
class MessageBoxWatch {
 public:
  MessageBoxWatch() {
    source_ = g_timeout_add(50, [](gpointer data) -> gboolean {
      auto* self = static_cast<MessageBoxWatch*>(data);
      GList* tops = gtk_window_list_toplevels();
      for (GList* w = tops; w; w = w->next) {
        if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data))) continue;
        const char* title = gtk_window_get_title(GTK_WINDOW(w->data));
        gchar* text = nullptr;
        g_object_get(w->data, "text", &text, nullptr);
        self->seen.push_back(std::string(title ? title : "") + ": " + (text ? text : ""));
        g_free(text);
        if (self->shot) self->shot();
        gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
      }
      g_list_free(tops);
      return G_SOURCE_CONTINUE;
    }, this);
  }
  ~MessageBoxWatch() { g_source_remove(source_); }
  std::vector<std::string> seen;
  std::function<void()> shot;

 private:
  guint source_ = 0;
};

class EditingHarness {
 public:
  EditingHarness() {
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1000, 700);
    gtk_window_move(GTK_WINDOW(window), 0, 0);
    view = std::make_unique<pq::engine::WebView>(pq::engine::WebView::Options{.fileAccess = true, .clipboardAccess = true});
    frame = std::make_unique<pq::PulsingFrame>(view->Widget());
    gtk_container_add(GTK_CONTAINER(window), frame->Widget());
    menu = std::make_unique<pq::EditMenu>();
    page = std::make_unique<pq::WebViewEditingPage>(*view, *menu);
    session = std::make_unique<pq::EditSession>(*page);
    page->TimerFired = [this](pq::EditTimer t) { session->TimerFired(t); };
    page->AskLinkChangeNotice = [this] {
      log.push_back("link notice");
      return linkAnswer;
    };
    menu->Cut = [this] { session->Edit_Cut(); };
    menu->Copy = [this] { session->Edit_Copy(); };
    menu->Paste = [this] { session->Edit_Paste(); };
    session->SelectionChange = [this](bool s) {
      selection = s;
      menu->SetCutEnabled(s);
      menu->SetCopyEnabled(s);
    };
    session->UndoChange = [this](bool a) { log.push_back(a ? "UndoChange 1" : "UndoChange 0"); };
    session->RedoChange = [this](bool a) { log.push_back(a ? "RedoChange 1" : "RedoChange 0"); };
    view->DocumentEventFired = [this](const pq::DocumentEvent& e) {
      if (getenv("PQ_DEBUG_EVENTS")) fprintf(stderr, "EV %s %d %s\n", e.type.c_str(), e.keyCode, e.active.id.c_str());
      session->qEvent(e);
    };
    gtk_widget_show_all(window);
  }
  ~EditingHarness() {
    session.reset();
    page.reset();
    menu.reset();
    view.reset();
    gtk_widget_destroy(window);
    frame.reset();
  }

  // Loads the page and makes its spans and links editable, everything else unselectable.
  bool Load(const std::string& url) {
    int done = 0;
    view->DocumentComplete = [&](const pq::FramePath& p, const std::string&) { done += p.empty(); };
    view->Navigate(url);
    if (!WaitFor([&] { return done > 0; })) return false;
    view->DocumentComplete = nullptr;
    const auto elements = view->Elements({}, {"tag", "id", "parentId"});
    std::vector<pq::ElementChange> changes;
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const auto& e = elements[i];
      const int index = static_cast<int>(i);
      if (e.id.rfind("ZZZEDIT", 0) == 0) changes.push_back({index, "contentEditable", "true"});
      if (e.tag == "A") {
        changes.push_back({index, "onclick", ""});
        if (e.parentId.rfind("ZZZANCHOR", 0) == 0) changes.push_back({index, "contentEditable", "true"});
      }
    }
    view->ApplyChanges({}, changes);
    view->AddStyleSheet({}, "body { -webkit-user-select: none; } "
                            "[contenteditable=true] { -webkit-user-select: text; }");
    view->HookDocumentEvents({}, pq::WordKeys());
    session->Navigate();
    gtk_window_present(GTK_WINDOW(window));
    gtk_widget_grab_focus(view->Widget());
    log.clear();
    return true;
  }

  struct Box {
    int x = 0, y = 0, width = 0, height = 0;
  };
  // Where an element lies on the screen (the first element the selector finds).
  Box ScreenBox(const std::string& selector) {
    auto v = view->Evaluate("(() => { const r = document.querySelector(" + pq::engine::JsString(selector) +
                            ").getBoundingClientRect(); return {x: r.left, y: r.top, w: r.width, h: r.height}; })()");
    Box b;
    if (!v) return b;
    int ox = 0, oy = 0;
    gdk_window_get_origin(gtk_widget_get_window(view->Widget()), &ox, &oy);
    GtkAllocation a;
    gtk_widget_get_allocation(view->Widget(), &a);
    b.x = ox + a.x + (*v)["x"].Int();
    b.y = oy + a.y + (*v)["y"].Int();
    b.width = (*v)["w"].Int();
    b.height = (*v)["h"].Int();
    return b;
  }
  void Click(const std::string& selector, int button = 1, double fx = 0.5) {
    const Box b = ScreenBox(selector);
    editing::MoveTo(b.x + static_cast<int>(b.width * fx), b.y + b.height / 2);
    Xdo({"click", std::to_string(button)});
  }
  // Clicks at the end of the element's text.
  void ClickEnd(const std::string& selector) {
    Click(selector, 1, 0.9);
    // The first click into a fresh view can reach the page after a key sent behind it.
    WaitFor([&] {
      auto v = view->Evaluate("document.activeElement === document.querySelector(" + pq::engine::JsString(selector) + ")");
      return v && v->Bool();
    }, std::chrono::seconds(3));
    Keys({"End"});
  }
  void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> args{"key", "--delay", "40"};
    args.insert(args.end(), keys.begin(), keys.end());
    Xdo(args, 300);
  }
  void Type(const std::string& text) {
    Xdo({"type", "--delay", "40", text}, 300);
  }
  // A screenshot kept with the end-to-end tests' pictures.
  static std::string Shot(const std::string& name) {
    const std::string path = ScreenshotDir() + "/" + name + ".png";
    editing::ScreenShot(path);
    return path;
  }
  std::string Html(const std::string& id) {
    auto e = view->ElementById({}, id);
    return e ? e->html : "<gone>";
  }
  std::string Border(const std::string& id) {
    auto v = view->Evaluate("document.getElementById(" + pq::engine::JsString(id) + ").style.border");
    return v ? v->Str() : "<gone>";
  }

  GtkWidget* window = nullptr;
  std::unique_ptr<pq::engine::WebView> view;
  std::unique_ptr<pq::PulsingFrame> frame;
  std::unique_ptr<pq::EditMenu> menu;
  std::unique_ptr<pq::WebViewEditingPage> page;
  std::unique_ptr<pq::EditSession> session;
  std::vector<std::string> log;
  bool selection = false;
  int linkAnswer = 1;
};

}  // namespace pqtest
