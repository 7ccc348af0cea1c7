#include "publishing/publish_documents.h"

namespace pq {

namespace {

PublishDocument Document(const PreparedPage& page, LiveDocuments& live, const FramePath& path) {
  PublishDocument d;
  d.path = path;
  d.page = page;
  auto spans = live.Spans(path);
  d.readable = spans.has_value();
  if (spans) d.live = std::move(*spans);
  d.recorded = live.RecordedSpans(path);
  return d;
}

void AddFrames(const FrameTable& frames, LiveDocuments& live, const FramePath& path, int& entry,
               std::vector<PublishDocument>& out) {
  if (path.size() > kMaxFrameDepth) return;
  const int count = live.FrameCount(path);
  for (int i = 0; i < count && entry < FrameTable::kSize; ++i) {
    const FrameEntry& e = frames[entry++];
    FramePath child = path;
    child.push_back(i);
    if (e.File == kFrameError || e.File.empty()) {
      PublishDocument unreadable;
      unreadable.readable = false;
      unreadable.path = child;
      out.push_back(std::move(unreadable));
      continue;
    }
    out.push_back(Document(e.page, live, child));
    if (e.HasFrames) AddFrames(frames, live, child, entry, out);
  }
}

}  // namespace

std::vector<PublishDocument> DocumentsToPublish(const PageRecord& record, const FrameTable& frames,
                                                LiveDocuments& live) {
  std::vector<PublishDocument> out;
  out.push_back(Document(record.page, live, {}));
  int entry = 1;
  AddFrames(frames, live, {}, entry, out);
  return out;
}

std::string PreviewText(const PublishDocument& top) {
  return PublishedText(top).value_or(top.page.source.text);
}

}  // namespace pq
