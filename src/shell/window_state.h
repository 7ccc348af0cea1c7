#pragma once
#include <string>

namespace pq {

// State the main window shares with its panes and dialogs.
struct WindowState {
  std::string CurrentTab = "ImgBrowse";
  bool EditTabPreparing = false;  // an edit copy is being prepared or loaded
  bool WindowMaximized = false;
  std::string StartPageUrl;       // the first page prepared in this run
  // The Publish dialog: whether it is showing, and its PublishState. Nothing sets them until
  // publishing exists.
  bool PublishShowing = false;
  std::string PublishState;
};

}  // namespace pq
