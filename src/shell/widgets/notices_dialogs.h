#pragma once
#include <gtk/gtk.h>

#include "core/settings.h"
#include "engine/toplevel_ptr.h"
#include "shell/notices.h"

namespace pq {

// The link-change notice: asks whether to keep a changed link text.
class LinkChangeFrm {
 public:
  explicit LinkChangeFrm(GtkWindow* parent);
  LinkChangeFrm(const LinkChangeFrm&) = delete;
  LinkChangeFrm& operator=(const LinkChangeFrm&) = delete;

  // Shows the notice modally with its box ticked or clear.
  NoticeReply Run(bool boxTicked);

  GtkWidget* Dialog() const { return dialog_.get(); }
  GtkWidget* Check1 = nullptr;
  GtkWidget* YesButton = nullptr;
  GtkWidget* NoButton = nullptr;
  bool AcceptChanges = true;

 private:
  engine::ToplevelPtr dialog_;
};

// The different-layout notice, offered when the Edit tab is selected.
class LayoutMsgForm {
 public:
  explicit LayoutMsgForm(GtkWindow* parent);
  LayoutMsgForm(const LayoutMsgForm&) = delete;
  LayoutMsgForm& operator=(const LayoutMsgForm&) = delete;

  NoticeReply Run(bool boxTicked);

  GtkWidget* Dialog() const { return dialog_.get(); }
  GtkWidget* Check1 = nullptr;
  GtkWidget* OkButton = nullptr;

 private:
  engine::ToplevelPtr dialog_;
};

// The notices over their settings, shown as dialogs of `parent`.
int AskLinkChange(Settings& settings, GtkWindow* parent);
void ShowLayoutNotice(Settings& settings, GtkWindow* parent);

}  // namespace pq
