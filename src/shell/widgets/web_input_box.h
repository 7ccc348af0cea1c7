#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "engine/toplevel_ptr.h"
#include "shell/address_history.h"
#include "shell/web_input_box_state.h"

namespace pq {

// The address box: a one-line text box in a rounded frame with a drop button at its right
// end, and a drop-down list offering remembered addresses that start with the typed text (or,
// from the drop button, the whole history). Enter or a choice from the list raises Enter.
class WebInputBox {
 public:
  enum class DropLook { Normal, Hover, Pressed };

  explicit WebInputBox(TypedAddressHistory& history, int width = 440);
  ~WebInputBox();
  WebInputBox(const WebInputBox&) = delete;
  WebInputBox& operator=(const WebInputBox&) = delete;

  GtkWidget* Widget() const { return root_.get(); }

  void SetBackground(const GdkRGBA& BackCol);
  void RefreshList();
  bool IsComboExpanded() const;
  void SetText(const std::string& Text);
  void ExpandCombo();
  void CollapseCombo();

  // The shared history operations of the main window.
  void LoadHistory(const Settings& settings);
  void AddToHistory(const std::string& address, const std::string& StartPageUrl,
                    Settings& settings);

  // Raised with the address to navigate to.
  std::function<void(const std::string& URLtext)> Enter;

  std::string Text() const;
  std::vector<std::string> ListEntries() const;
  std::string ListText() const;  // the selected entry of the list
  DropLook ShownDropLook() const { return dropLook_; }
  GtkWidget* TextBox() const { return textBox_; }
  GtkWidget* ListWindow() const { return popup_.get(); }
  const WebInputBoxState& State() const { return state_; }

 private:
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnPicturePress(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnPictureRelease(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnPictureMotion(GtkWidget*, GdkEventMotion*, gpointer self);
  static void OnChanged(GtkEditable*, gpointer self);
  static gboolean OnKey(GtkWidget*, GdkEventKey*, gpointer self);
  static gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self);
  static void OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer self);
  static gboolean OnTimer(gpointer self);
  static gboolean OnAnyPress(GSignalInvocationHint*, guint, const GValue*, gpointer self);
  static void OnUnmap(GtkWidget*, gpointer self);

  bool OverDropButton(double x) const;
  void SetDropLook(DropLook look);
  void FillList(const std::vector<std::string>& items);
  void PlaceList();
  void SelectListRow(int row);
  int SelectedRow() const;
  void RaiseEnter(const std::string& text);
  bool PointerOverPicture() const;

  TypedAddressHistory& history_;
  WebInputBoxState state_;
  int width_;
  GdkRGBA background_{32 / 255.0, 200 / 255.0, 32 / 255.0, 1};
  engine::GObjectPtr<GtkWidget> root_;  // overlay holding the frame and the text box
  GtkWidget* picture1_ = nullptr;  // the frame area; takes the focus after Enter
  GtkWidget* textBox_ = nullptr;
  engine::ToplevelPtr popup_;     // Combo1's drop-down
  GtkWidget* list_ = nullptr;
  engine::GObjectPtr<GtkListStore> store_;
  bool listHasFocus_ = false;      // arrow keys moved into the list
  DropLook dropLook_ = DropLook::Normal;
  engine::SourceId timer1_;
  engine::SourceId selectIdle_;
  gulong pressHook_ = 0;
  guint pressSignal_ = 0;
  engine::SignalConnections signals_;
};

}  // namespace pq
