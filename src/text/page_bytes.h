#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "text/source_page.h"
#include "text/text_edit.h"

namespace pq {

// The bytes publishing sends for a page whose text has become `publishable`, or why it cannot.
struct PageBytes {
  bool ok = false;
  std::string bytes;
  std::string error;  // for the user, when !ok
};

// The page's own bytes with each edit of its text (ascending offsets into `text`) spliced in:
// every byte outside the edits is the page's own, and the edits' texts are written in its
// character set (characters the set cannot hold become numeric character references). Where an
// edit's place cannot be found exactly in the bytes, nothing is written (refused, with the
// reason): a page is never rewritten from its text. UTF-16 pages are refused.
PageBytes PublishableBytes(const SourcePage& source, const std::vector<TextEdit>& edits);

}  // namespace pq
