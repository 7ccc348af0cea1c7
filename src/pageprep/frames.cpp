#include "pageprep/frames.h"

#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "pageprep/text_util.h"
#include "pageprep/url_ops.h"

namespace pq {

namespace {

constexpr std::size_t kMaxNesting = 16;

bool IsPageFile(const std::string& fullPath) {
  return EndsWithNoCase(fullPath, ".htm") || EndsWithNoCase(fullPath, ".html");
}

void PrepareFramesAt(const PageDocument* document, FrameTable& table, const Fetcher& fetch,
                     std::size_t depth) {
  if (!document || depth > kMaxNesting) return;
  const int count = document->FrameCount();
  for (int i = 0; i < count && !table.Full(); ++i) {
    const int index = table.Counter;
    const PageDocument* frame = document->Frame(i);
    if (!frame || !frame->LocationURL()) {
      // An unreadable frame keeps its place in the table so that the later walks stay in step.
      table[index] = FrameEntry{};
      table[index].File = kFrameError;
      table.Counter = index + 1;
      continue;
    }
    table[index].File = MakeFrameCopy(*frame, index, kFramePrefix, table, fetch);
    table.Counter = index + 1;
    table[index].HasFrames = frame->FrameCount() > 0;
    if (table[index].HasFrames) PrepareFramesAt(frame, table, fetch, depth + 1);
  }
}

}  // namespace

void PrepareFrames(const PageDocument* document, FrameTable& table, const Fetcher& fetch) {
  PrepareFramesAt(document, table, fetch, 0);
}

std::string MakeFrameCopy(const PageDocument& document, int index, const std::string& prefix,
                          FrameTable& table, const Fetcher& fetch) {
  const std::string href = document.LocationURL().value_or("");
  std::string fullPath = FullPathOf(href, fetch);
  if (fullPath.empty()) fullPath = href;
  const std::string path = NumberedFileName(prefix);

  FrameEntry& entry = table[index];
  entry.PreviewFile.clear();
  entry.Source = fetch(href);
  if (TrimWhitespace(entry.Source).empty()) entry.Source = document.OuterHTML();

  std::string html = AddMarker(entry.Source, "OrigURL", href);
  html = AddMarker(html, "FullPath", fullPath);
  html = AddSpans(html);
  WriteEditCopy(path, href, html);  // a copy that cannot be written simply fails to load later
  entry.EditHTML = std::move(html);
  entry.Editable = IsPageFile(fullPath);
  return path;
}

}  // namespace pq
