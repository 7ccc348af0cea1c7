#include "pageprep/edit_copy.h"

#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "text/text_util.h"
#include "pageprep/url_ops.h"

namespace pq {

bool IsPageCantBeDisplayed(const std::string& outerText) {
  return AsciiLower(outerText).find("the page cannot be displayed") != std::string::npos;
}

EditCopyOutcome PrepareEditCopy(std::shared_ptr<const PageDocument> document, PageRecord& record,
                                FrameTable& frames, std::string& startPageUrl,
                                const Fetcher& fetch, const EditCopyProgress& progress) {
  if (!document) return EditCopyOutcome::Ignored;
  const std::string url = document->LocationURL().value_or("");
  if (url.empty()) return EditCopyOutcome::Ignored;
  if (IsPageCantBeDisplayed(document->OuterText())) return EditCopyOutcome::PageCantBeDisplayed;
  const auto abandoned = [&] { return progress.Abandoned && progress.Abandoned(); };

  if (progress.Starting) progress.Starting();
  // Everything that waits for the network comes first, into values of our own.
  PageRecord page;
  page.WebURL = url;
  page.HtDoc = document;
  FetchedPage source = fetch(url);
  // An error page (a mistyped address) is not the website's page: publishing it would create
  // a page holding the server's error text.
  if (const std::string why = NotEditableReason(source); !why.empty()) {
    if (progress.NotEditable) progress.NotEditable(why);
    return EditCopyOutcome::NotOnWebsite;
  }
  if (TrimWhitespace(source.text).empty()) source = FetchedPage(document->OuterHTML());
  page.page = PreparePage(std::move(source), url, FullPathOf(url, fetch));
  if (progress.SourceMarked) progress.SourceMarked();
  const bool hasFrames = document->FrameCount() > 0;
  std::vector<FrameCopy> frameCopies;
  if (hasFrames) frameCopies = FetchFrameCopies(document.get(), FrameTable{}, fetch);

  // Then, if still wanted, every write, with no wait in between.
  if (abandoned()) return EditCopyOutcome::Abandoned;
  // The edit copy first: when it cannot be written the page ends unprepared, frames untouched.
  if (!WriteEditCopy(TempFolder() + kEditCopyName, url, page.EditHTML()))
    return EditCopyOutcome::NotWritten;
  if (hasFrames) {
    ClearFrameCopies(frames);
    WriteFrameCopies(std::move(frameCopies), frames);
  }
  page.busy = false;
  if (startPageUrl.empty()) startPageUrl = url;
  record = std::move(page);
  return EditCopyOutcome::Prepared;
}

std::string CurrentOrigURL(const PageDocument* editDocument) {
  if (!editDocument) return "";
  return GetMarker(editDocument->OuterHTML(), "OrigURL");
}

}  // namespace pq
