#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/signal_connection.h"
#include "engine/toplevel_ptr.h"

namespace pq {

// The dialog that confirms a publication. Its address link opens the published page through
// openPage (given the page's full address) and closes the dialog.
class PublishCompleteFrm {
 public:
  // storedFiles: the files the site script stored, named under the address when they are not
  // just the page itself (the frames of a frameset, for example).
  PublishCompleteFrm(GtkWindow* parent, std::string origUrl, std::vector<std::string> storedFiles,
                     std::function<void(const std::string&)> openPage);
  ~PublishCompleteFrm();
  PublishCompleteFrm(const PublishCompleteFrm&) = delete;
  PublishCompleteFrm& operator=(const PublishCompleteFrm&) = delete;

  void Run();
  // What a click on the address does.
  void OpenPublishedPage();

  GtkWidget* Dialog() const { return dialog_.get(); }
  GtkWidget* LabelURL = nullptr;
  GtkWidget* OKbutton = nullptr;
  GtkWidget* LabelStored = nullptr;  // null when only the page itself was stored

 private:
  std::string origUrl_;
  std::function<void(const std::string&)> openPage_;
  engine::ToplevelPtr dialog_;
  engine::SignalConnections signals_;  // after the dialog: its handlers go first
};

}  // namespace pq
