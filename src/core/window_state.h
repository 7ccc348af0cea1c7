#pragma once
#include <string>

namespace pq {

// The two tab headers of the main window.
enum class TabHeader { ImgBrowse, ImgEdit };

// The header's name, which its pictures start with ("ImgBrowse", "ImgEdit").
inline const char* TabName(TabHeader header) {
  return header == TabHeader::ImgBrowse ? "ImgBrowse" : "ImgEdit";
}

// State the main window shares with its panes and dialogs: one instance, owned by the main
// window, handed to every pane by reference.
struct WindowState {
  TabHeader CurrentTab = TabHeader::ImgBrowse;
  bool EditTabPreparing = false;  // an edit copy is being prepared or loaded
  bool WindowMaximized = false;
  std::string StartPageUrl;       // the first page prepared in this run
  // The Publish dialog: whether it is showing, and its PublishState.
  bool PublishShowing = false;
  std::string PublishState;
};

}  // namespace pq
