#include "pageprep/frames.h"

#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "text/text_util.h"
#include "pageprep/url_ops.h"

namespace pq {

namespace {

constexpr std::size_t kMaxNesting = 16;

bool IsPageFile(const std::string& fullPath) {
  return EndsWithNoCase(fullPath, ".htm") || EndsWithNoCase(fullPath, ".html");
}

// Collects the frames depth first; `room` is how many entries the table still has.
void FetchFramesAt(const PageDocument* document, const Fetcher& fetch, std::size_t depth,
                   std::size_t room, std::vector<FrameCopy>& out) {
  if (!document || depth > kMaxNesting) return;
  const int count = document->FrameCount();
  for (int i = 0; i < count && out.size() < room; ++i) {
    const PageDocument* frame = document->Frame(i);
    if (!frame || !frame->LocationURL()) {
      // An unreadable frame keeps its place in the table so that the later walks stay in step.
      out.emplace_back();
      continue;
    }
    out.push_back(FetchFrameCopy(*frame, fetch));
    out.back().entry.HasFrames = frame->FrameCount() > 0;
    if (out.back().entry.HasFrames) FetchFramesAt(frame, fetch, depth + 1, room, out);
  }
}

std::string WriteFrameCopy(const FrameCopy& copy, const std::string& prefix) {
  const std::string path = NumberedFileName(prefix);
  WriteEditCopy(path, copy.href, copy.entry.EditHTML());  // a copy not written fails to load later
  return path;
}

}  // namespace

FrameCopy FetchFrameCopy(const PageDocument& document, const Fetcher& fetch) {
  FrameCopy copy;
  copy.readable = true;
  copy.href = document.LocationURL().value_or("");
  std::string fullPath = FullPathOf(copy.href, fetch);
  if (fullPath.empty()) fullPath = copy.href;

  FrameEntry& entry = copy.entry;
  FetchedPage page = fetch(copy.href);
  // A frame whose page is an error is left out like one that cannot be read.
  if (!NotEditableReason(page).empty()) {
    copy.readable = false;
    return copy;
  }
  if (TrimWhitespace(page.text).empty()) page = FetchedPage(document.OuterHTML());
  entry.page = PreparePage(std::move(page), copy.href, fullPath);
  entry.Editable = IsPageFile(fullPath);
  entry.WebURL = copy.href;
  return copy;
}

std::vector<FrameCopy> FetchFrameCopies(const PageDocument* document, const FrameTable& table,
                                        const Fetcher& fetch) {
  std::vector<FrameCopy> copies;
  const std::size_t room = table.Full() ? 0 : static_cast<std::size_t>(FrameTable::kSize - table.Counter);
  FetchFramesAt(document, fetch, 0, room, copies);
  return copies;
}

void WriteFrameCopies(std::vector<FrameCopy> copies, FrameTable& table, const std::string& prefix) {
  for (FrameCopy& copy : copies) {
    if (table.Full()) break;
    const int index = table.Counter;
    if (!copy.readable) {
      table[index] = FrameEntry{};
      table[index].File = kFrameError;
    } else {
      copy.entry.File = WriteFrameCopy(copy, prefix);
      table[index] = std::move(copy.entry);
    }
    table.Counter = index + 1;
  }
}

void PrepareFrames(const PageDocument* document, FrameTable& table, const Fetcher& fetch) {
  WriteFrameCopies(FetchFrameCopies(document, table, fetch), table);
}

std::string MakeFrameCopy(const PageDocument& document, int index, const std::string& prefix,
                          FrameTable& table, const Fetcher& fetch) {
  FrameCopy copy = FetchFrameCopy(document, fetch);
  const std::string path = WriteFrameCopy(copy, prefix);
  copy.entry.File = std::move(table[index].File);
  copy.entry.HasFrames = table[index].HasFrames;
  table[index] = std::move(copy.entry);
  return path;
}

}  // namespace pq
