#pragma once
// The demonstration window of the skin: the skinned frame with its window images and title
// image, the tab headers, every toolbar picture button, the address box and buttons that open
// both notices. Used by the end-to-end tests and for screenshots.
#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/settings.h"
#include "shell/address_history.h"
#include "shell/widgets/notices_dialogs.h"
#include "shell/widgets/web_input_box.h"
#include "skin/skin_pictures.h"
#include "skin/widgets/picture_button.h"
#include "skin/widgets/skin_image.h"
#include "skin/widgets/skinned_window.h"
#include "support/memory_settings.h"

namespace pqtest {

inline pq::skin::SkinDesign DemoDesign() {
  pq::skin::SkinDesign d;
  d.paneTop = 196;
  return d;
}

class SkinDemoWindow {
 public:
  static constexpr int kButtonStep = 60;
  static constexpr int kRow1 = 82;
  static constexpr int kRow2 = 138;

  explicit SkinDemoWindow(pq::skin::Rect at = {40, 40, 1000, 660})
      : skin(std::make_unique<pq::skin::SkinnedWindow>("Pagequill", DemoDesign())) {
    using pq::skin::PictureButton;
    gtk_window_move(skin->Window(), at.x, at.y);
    gtk_window_resize(skin->Window(), at.width, at.height);
    skin->Close = [this] { events.push_back("Close"); };
    skin->Help = [this] { events.push_back("Help"); };

    tabBrowse = std::make_unique<pq::skin::SkinImage>("ImgBrowse");
    tabBrowse->SetPicture("ImgBrowseNorm");
    tabEdit = std::make_unique<pq::skin::SkinImage>("ImgEdit");
    tabEdit->SetPicture("ImgEditUnselect");
    skin->Put(tabEdit->Widget(), 116, 50);
    skin->Put(tabBrowse->Widget(), 18, 47);

    const auto& names = pq::skin::ToolbarButtonNames();
    for (size_t i = 0; i < names.size(); ++i) {
      auto b = std::make_unique<PictureButton>();
      b->SetPictures(names[i]);
      const std::string name = names[i];
      b->Click = [this, name] { events.push_back("Click " + name); };
      // Browse buttons on the first row, editing buttons on the second.
      const bool browse = i < 5;
      const int x = 18 + static_cast<int>(browse ? i : i - 5) * kButtonStep +
                    (!browse && i >= 13 ? 16 : 0);
      skin->Put(b->Widget(), x, browse ? kRow1 : kRow2);
      buttons[name] = std::move(b);
    }
    buttons["Forward"]->Disable();
    buttons["Paste"]->SetEnabledOnStartup(false);
    buttons["Redo"]->SetEnabledOnStartup(false);

    label = gtk_label_new(nullptr);
    gtk_label_set_markup(GTK_LABEL(label), "<span foreground='#15423d' weight='bold'>Address</span>");
    skin->Put(label, 18 + 5 * kButtonStep + 12, kRow1 + 16);
    box = std::make_unique<pq::WebInputBox>(history, 440);
    box->LoadHistory(settings);
    box->SetBackground(GdkRGBA{32 / 255.0, 200 / 255.0, 32 / 255.0, 1});
    box->Enter = [this](const std::string& url) { events.push_back("Enter " + url); };
    skin->Put(box->Widget(), 18 + 5 * kButtonStep + 80, kRow1 + 12);

    pane = gtk_event_box_new();
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_container_set_border_width(GTK_CONTAINER(column), 18);
    gtk_container_add(GTK_CONTAINER(pane), column);
    status = gtk_label_new("Pane area: the browse and edit panes go here.");
    gtk_label_set_xalign(GTK_LABEL(status), 0);
    gtk_box_pack_start(GTK_BOX(column), status, FALSE, FALSE, 0);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    linkNoticeButton = gtk_button_new_with_label("Show link notice");
    layoutNoticeButton = gtk_button_new_with_label("Show layout notice");
    gtk_box_pack_start(GTK_BOX(row), linkNoticeButton, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), layoutNoticeButton, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), row, FALSE, FALSE, 0);
    g_signal_connect(linkNoticeButton, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                       auto* d = static_cast<SkinDemoWindow*>(self);
                       const int answer = pq::AskLinkChange(d->settings, d->skin->Window());
                       d->events.push_back("AskLinkChange " + std::to_string(answer));
                     }),
                     this);
    g_signal_connect(layoutNoticeButton, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                       auto* d = static_cast<SkinDemoWindow*>(self);
                       pq::ShowLayoutNotice(d->settings, d->skin->Window());
                       d->events.push_back("ShowLayoutNotice");
                     }),
                     this);
    // The pane area is white, as the web views that will fill it.
    g_signal_connect(pane, "draw", G_CALLBACK(+[](GtkWidget* w, cairo_t* cr, gpointer) -> gboolean {
                       cairo_set_source_rgb(cr, 1, 1, 1);
                       cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(w),
                                       gtk_widget_get_allocated_height(w));
                       cairo_fill(cr);
                       return FALSE;
                     }),
                     nullptr);
    skin->Put(pane, skin->Layout().pane.x, skin->Layout().pane.y);
    skin->Resized = [this](const pq::skin::MainWindowLayout& l) { PlacePane(l); };
    PlacePane(skin->Layout());
    gtk_widget_show_all(GTK_WIDGET(skin->Window()));
    gtk_window_present(skin->Window());
  }

  void PlacePane(const pq::skin::MainWindowLayout& l) {
    skin->Move(pane, l.pane.x, l.pane.y);
    gtk_widget_set_size_request(pane, l.pane.width, l.pane.height);
  }

  // Screen position of a point of a widget of the window.
  std::pair<int, int> ScreenPoint(GtkWidget* w, int x, int y) const {
    GtkWidget* top = GTK_WIDGET(skin->Window());
    int wx = 0, wy = 0;
    gtk_widget_translate_coordinates(w, top, x, y, &wx, &wy);
    const pq::skin::Rect r = skin->WindowRect();
    return {r.x + wx, r.y + wy};
  }

  // The window's pictures are placed for its present size (layout and widgets both), so that
  // a point computed now is where the pointer will find it.
  bool LaidOut() const {
    const pq::skin::Rect r = skin->WindowRect();
    GtkAllocation a{};
    gtk_widget_get_allocation(skin->Image("ImgClose")->Widget(), &a);
    return skin->Layout().ImgClose.x == r.width - 26 && a.x == skin->Layout().ImgClose.x;
  }

  std::string LastEvent() const { return events.empty() ? "" : events.back(); }

  pq::MemorySettings settings;
  pq::TypedAddressHistory history;
  std::unique_ptr<pq::skin::SkinnedWindow> skin;
  std::unique_ptr<pq::skin::SkinImage> tabBrowse, tabEdit;
  std::map<std::string, std::unique_ptr<pq::skin::PictureButton>> buttons;
  std::unique_ptr<pq::WebInputBox> box;
  GtkWidget* label = nullptr;
  GtkWidget* pane = nullptr;
  GtkWidget* status = nullptr;
  GtkWidget* linkNoticeButton = nullptr;
  GtkWidget* layoutNoticeButton = nullptr;
  std::vector<std::string> events;
};

}  // namespace pqtest
