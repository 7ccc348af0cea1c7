#include "pageprep/preview_frames.h"

#include "pageprep/markers.h"
#include "pageprep/temp_files.h"

namespace pq {

std::string MakePreviewFrameCopy(const SpanSource& document, const MarkedHTML& edit,
                                 const std::string& prefix) {
  const std::string path = NumberedFileName(prefix);
  // The copy's own BASE line points at the frame's address, whatever the engine serialises.
  if (!WriteEditCopy(path, GetMarker(edit.html, "OrigURL"),
                     RestoreHTML(edit.html, LayoutOf(edit).layout, document).html))
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
    entry.PreviewFile = MakePreviewFrameCopy(spans ? *spans : SpanSnapshot{}, entry.page.edit,
                                             kFramePreviewPrefix);
    if (entry.HasFrames) PreviewFrames(documents, table, child);
  }
}

}  // namespace pq
