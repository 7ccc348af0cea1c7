#pragma once
#include "editor/edit_status_bar.h"
#include "engine/gobject_ptr.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The edit status bar on screen: the status picture (15 x 15) and its sentence on one line.
class EditStatusBarWidget {
 public:
  static constexpr int kHeight = 24;

  explicit EditStatusBarWidget(EditStatusBar& status);
  ~EditStatusBarWidget();
  EditStatusBarWidget(const EditStatusBarWidget&) = delete;
  EditStatusBarWidget& operator=(const EditStatusBarWidget&) = delete;

  GtkWidget* Widget() const;

 private:
  void Update();

  EditStatusBar& status_;
  engine::GObjectPtr<GtkWidget> box_;
  GtkWidget* picture_ = nullptr;
  GtkWidget* label_ = nullptr;
};

}  // namespace pq
