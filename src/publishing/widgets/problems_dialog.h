#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/signal_connection.h"
#include "engine/toplevel_ptr.h"
#include "publishing/problems.h"

namespace pq {

// The Publishing dialog: the notices that Problems::SetUp chose, each with its picture,
// heading, text and "More Info" link, stacked where SetUp placed them, and an OK button.
class ProblemsDialog {
 public:
  ProblemsDialog(const Problems& problems, GtkWindow* parent);
  ~ProblemsDialog();
  ProblemsDialog(const ProblemsDialog&) = delete;
  ProblemsDialog& operator=(const ProblemsDialog&) = delete;

  // Shows the dialog modally until OK (or its close button) is pressed.
  void Run();
  // The message box behind a notice's "More Info" link, shown modally.
  void ShowMoreInfo(ProblemNotice notice);

  GtkWidget* Dialog() const { return dialog_.get(); }
  GtkWidget* OKbutton = nullptr;
  // The "More Info" link of each notice shown, top to bottom.
  std::vector<GtkWidget*> MoreInfoLinks;
  // Opens a help page in the program's help window; the message offers "Open Help" when set.
  std::function<void(const std::string& page)> OpenHelp;

 private:
  const Problems& problems_;
  engine::ToplevelPtr dialog_;
  engine::SignalConnections signals_;  // after the dialog: its handlers go first
};

// The address of the designers' help page about setting up publishing.
std::string SettingUpHelpAddress();

}  // namespace pq
