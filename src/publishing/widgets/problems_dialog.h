#pragma once
#include <functional>
#include <string>
#include <vector>

#include "publishing/problems.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

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

  GtkWidget* dialog() const { return dialog_; }
  GtkWidget* OKbutton = nullptr;
  // The "More Info" link of each notice shown, top to bottom.
  std::vector<GtkWidget*> MoreInfoLinks;
  // Opens a help page in the program's help window; the message offers "Open Help" when set.
  std::function<void(const std::string& page)> OpenHelp;

 private:
  const Problems& problems_;
  GtkWidget* dialog_ = nullptr;
};

// The address of the designers' help page about setting up publishing.
std::string SettingUpHelpAddress();

}  // namespace pq
