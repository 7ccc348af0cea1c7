#include "pageprep/edit_copy.h"

#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "pageprep/text_util.h"
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
  PageRecord page = record;
  page.WebURL = url;
  page.HtDoc = document;
  std::string source = fetch(url);
  if (abandoned()) return EditCopyOutcome::Abandoned;
  if (TrimWhitespace(source).empty()) source = document->OuterHTML();
  page.OriginalHTML = source;
  page.EditHTML = AddSpans(source);
  if (progress.SourceMarked) progress.SourceMarked();

  page.EditHTML = AddMarker(page.EditHTML, "OrigURL", url);
  page.EditHTML = AddMarker(page.EditHTML, "FullPath", FullPathOf(url, fetch));
  if (abandoned()) return EditCopyOutcome::Abandoned;
  if (document->FrameCount() > 0) {
    // Made aside and taken over only when still wanted: a newer page prepared while these
    // frames were being fetched keeps its own table.
    FrameTable made = frames;
    ClearFrameCopies(made);
    PrepareFrames(document.get(), made, fetch);
    if (abandoned()) return EditCopyOutcome::Abandoned;
    frames = std::move(made);
  }
  WriteEditCopy(TempFolder() + kEditCopyName, url, page.EditHTML);  // write errors are ignored
  page.busy = false;
  if (startPageUrl.empty()) startPageUrl = url;
  record = std::move(page);
  return EditCopyOutcome::Prepared;
}

std::string CurrentOrigURL(const PageDocument* editDocument) {
  if (!editDocument) return "";
  const std::string html = editDocument->OuterHTML();
  if (html.find("OrigURL") == std::string::npos) return "";
  return GetMarker(html, "OrigURL");
}

}  // namespace pq
