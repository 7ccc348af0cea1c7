#pragma once
#include <functional>
#include <string>

#include "publishing/site_check.h"

namespace pq {

// The pictures of the edit status bar; at most one shows.
enum class EditStatusIcon { None, Tick, Exclamation, Cross };

// The line under the edit pane that says whether changes to the page can be published.
// Starts blank and keeps the last status shown until the next one.
class EditStatusBar {
 public:
  static constexpr const char* kEditableText = "Changes to this page can be published";
  static constexpr const char* kPartText = "Some parts of this page cannot be edited/published";
  static constexpr const char* kNotEditableText =
      "Changes cannot be published. Click \"Publish\" for more information";

  // Shows the picture and sentence of a status; Unknown hides the picture and keeps the text.
  void SetStatus(PageStatus status);

  EditStatusIcon Icon() const { return icon_; }
  const std::string& Text() const { return text_; }
  // Raised after every SetStatus, for the widget.
  std::function<void()> Changed;

 private:
  EditStatusIcon icon_ = EditStatusIcon::None;
  std::string text_;
};

}  // namespace pq
