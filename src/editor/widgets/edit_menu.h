#pragma once
#include <functional>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The edit pane's right-click menu (Menu_Edit): Cut, Copy and Paste, in this order.
class EditMenu {
 public:
  EditMenu();
  ~EditMenu();
  EditMenu(const EditMenu&) = delete;
  EditMenu& operator=(const EditMenu&) = delete;

  // Run when the item is chosen.
  std::function<void()> Cut;
  std::function<void()> Copy;
  std::function<void()> Paste;

  void SetCutEnabled(bool enabled);
  void SetCopyEnabled(bool enabled);
  void SetPasteEnabled(bool enabled);

  // Pops the menu up at (x, y) in `over`'s coordinates.
  void Popup(GtkWidget* over, int x, int y);
  bool Visible() const;

  GtkWidget* Menu_Edit() const;
  GtkWidget* Menu_Cut() const { return cut_; }
  GtkWidget* Menu_Copy() const { return copy_; }
  GtkWidget* Menu_Paste() const { return paste_; }

 private:
  engine::GObjectPtr<GtkWidget> menu_;
  GtkWidget* cut_ = nullptr;
  GtkWidget* copy_ = nullptr;
  GtkWidget* paste_ = nullptr;
  engine::SignalConnections signals_;  // the items' handlers, with Cut, Copy and Paste as data
};

}  // namespace pq
