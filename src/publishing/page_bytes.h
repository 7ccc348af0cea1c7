#pragma once
#include <string>
#include <string_view>

namespace pq {

// A page as it was fetched: its bytes, the character set they were read in, and the text
// they were read as (UTF-8).
struct PageSource {
  std::string_view bytes;
  std::string_view charset;
  std::string_view text;
};

// The bytes publishing sends for a page whose text has become `publishable`, or why it cannot.
struct PageBytes {
  bool ok = false;
  std::string bytes;
  std::string error;  // for the user, when !ok
};

// Writes the page in its own character set; characters the set cannot hold become numeric
// character references, and a UTF-8 byte-order mark is kept. A page whose bytes do not come
// back the same from its text (bytes its set does not define, characters with two encodings)
// gets only the changed places spliced into its original bytes, so that everything else
// stays as it was. UTF-16 pages are refused.
PageBytes PublishableBytes(const PageSource& source, std::string_view publishable);

}  // namespace pq
