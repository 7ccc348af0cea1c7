#pragma once
#include <map>

#include "core/frame_path.h"
#include "pageprep/live_documents.h"
#include "pageprep/restore_html.h"
#include "publishing/publish_flow.h"

namespace pq {

// Whether the page in the edit pane holds changes the site does not have yet, so that leaving
// the page (closing the window, browsing elsewhere) can ask first instead of losing them.
class UnpublishedChanges {
 public:
  // Another page was loaded into the edit pane: what activation recorded is the site's text.
  void Reset() {
    published_.clear();
    earlier_.clear();
  }
  // A publication succeeded: what the documents hold now is what the site holds.
  void MarkPublished(LiveDocuments& live);
  // True when a document's spans differ from what the site holds.
  bool Pending(LiveDocuments& live) const;

  // The bytes published of each page file since the page was loaded.
  EarlierPublications& Earlier() { return earlier_; }

  // The question, and the answers, for the user.
  static constexpr const char* kTitle = "Unpublished Changes";
  static constexpr const char* kQuestion =
      "You have changed this page but not published your changes. If you leave the page now, "
      "your changes will be lost.\n\nDo you want to leave the page?";
  static constexpr const char* kStay = "Stay on this page";
  static constexpr const char* kLeave = "Leave the page";
  // The same when the program is closing.
  static constexpr const char* kClosingQuestion =
      "You have changed this page but not published your changes. If you close Pagequill now, "
      "your changes will be lost.\n\nDo you want to close Pagequill?";
  static constexpr const char* kClose = "Close Pagequill";

 private:
  std::map<FramePath, SpanSnapshot> published_;
  EarlierPublications earlier_;
};

}  // namespace pq
