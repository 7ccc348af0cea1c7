#pragma once
#include <string>
#include <vector>

#include "pageprep/edit_copy.h"
#include "pageprep/frame_table.h"
#include "pageprep/live_documents.h"
#include "publishing/publish_flow.h"

namespace pq {

// The documents of the page in the edit pane as publishing takes them: the top page from the
// browse pane's record, then its frames in the frame table's order (depth first, as they were
// prepared), each with its spans' live and recorded contents.
std::vector<PublishDocument> DocumentsToPublish(const PageRecord& record, const FrameTable& frames,
                                                LiveDocuments& live);

// The text of preview.htm's page: the top page as it would be published.
std::string PreviewText(const PublishDocument& top);

}  // namespace pq
