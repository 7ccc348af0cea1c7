#pragma once
#include <functional>
#include <memory>
#include <string>

#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"
#include "pageprep/frames.h"
#include "pageprep/prepared_page.h"
#include "pageprep/span_layout.h"

namespace pq {

inline constexpr const char* kEditCopyName = "webed.htm";

// The browse pane's record of the page last prepared, read by the edit and publishing code.
struct PageRecord {
  std::shared_ptr<const PageDocument> HtDoc;
  PreparedPage page;   // its source as fetched, and webed.htm's second line with its layout
  std::string WebURL;  // the location URL
  bool busy = false;   // from the start of a navigation until its preparation ended

  // The page source as fetched, decoded to UTF-8.
  const std::string& OriginalHTML() const { return page.source.text; }
  // The second line of webed.htm.
  const std::string& EditHTML() const { return page.edit.html; }
};

// Moments of a preparation that the browse pane shows to the user.
struct EditCopyProgress {
  std::function<void()> Starting;      // the page will be prepared
  std::function<void()> SourceMarked;  // the source is fetched and marked up
  // Asked once everything is fetched: true when the page is no longer wanted (stopped, or
  // another page started meanwhile). Nothing is written before that answer, and nothing waits
  // between it and the last write, so a stale page never overwrites a newer copy.
  std::function<bool()> Abandoned;
  // The page is no page of the website to edit (NotEditableReason says why).
  std::function<void(const std::string& why)> NotEditable;
};

enum class EditCopyOutcome {
  Ignored,              // nothing to prepare (no location)
  PageCantBeDisplayed,  // the engine shows its error page
  Prepared,             // webed.htm (and any frame copies) written, record filled
  Abandoned,            // given up while fetching; the record and webed.htm are unchanged
  NotOnWebsite,         // the server answered with an error page, or not at all: nothing to edit
  NotWritten,           // webed.htm could not be written; the record and frames are unchanged
};

// True for the engine's error page: its text holds "the page cannot be displayed" in any case.
bool IsPageCantBeDisplayed(const std::string& outerText);

// Prepares the edit copy of a displayed top-level document: fetches its source afresh (the
// engine's serialisation when nothing comes), wraps the text in edit spans, adds the FullPath
// and OrigURL markers, writes TempFolder + "webed.htm", and for a frameset the frame copies
// and the frame table. Fills the record and sets startPageUrl when it is still empty; both are
// left alone when the preparation is abandoned or webed.htm cannot be written.
EditCopyOutcome PrepareEditCopy(std::shared_ptr<const PageDocument> document, PageRecord& record,
                                FrameTable& frames, std::string& startPageUrl,
                                const Fetcher& fetch, const EditCopyProgress& progress = {});

// The OrigURL marker of the document shown in the edit pane, or "".
std::string CurrentOrigURL(const PageDocument* editDocument);

}  // namespace pq
