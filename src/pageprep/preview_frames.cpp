#include "pageprep/preview_frames.h"

#include "pageprep/markers.h"
#include "pageprep/temp_files.h"

namespace pq {

namespace {

// A layout that holds nothing (an entry made by hand) is found from the text.
SpanLayout Known(const SpanLayout& layout, const std::string& editHTML) {
  if (layout.spans.empty() && layout.inserted.empty()) return FindSpanLayout(editHTML);
  return layout;
}

}  // namespace

std::string MakePreviewFrameCopy(const SpanSource& document, const std::string& editHTML,
                                 const SpanLayout& layout, const std::string& prefix) {
  const std::string path = NumberedFileName(prefix);
  // The copy's own BASE line points at the frame's address, whatever the engine serialises.
  if (!WriteEditCopy(path, GetMarker(editHTML, "OrigURL"), RestoreHTML(editHTML, Known(layout, editHTML), document).html))
    return "";
  return path;
}

void PreviewFrames(LiveDocuments& documents, FrameTable& table, const FramePath& frame) {
  if (frame.size() > kMaxFrameDepth) return;
  const int count = documents.FrameCount(frame);
  for (int i = 0; i < count && !table.Full(); ++i) {
    FrameEntry& entry = table[table.Counter];
    ++table.Counter;
    if (entry.File == kFrameError) continue;
    FramePath child = frame;
    child.push_back(i);
    const auto spans = documents.Spans(child);
    entry.PreviewFile = MakePreviewFrameCopy(spans ? *spans : SpanSnapshot{}, entry.EditHTML,
                                             entry.EditLayout, kFramePreviewPrefix);
    if (entry.HasFrames) PreviewFrames(documents, table, child);
  }
}

}  // namespace pq
