#pragma once
#include <string>
#include <utility>

namespace pq {

// A page's source as it was fetched: the bytes exactly as they came, the character set they
// were read in, and the text they were read as. It travels with the page from the fetch to the
// post: the edit is made on the text, and publishing writes the changes into the bytes, so a
// page returns byte for byte where the user changed nothing.
struct SourcePage {
  std::string text;   // UTF-8, byte-order mark removed
  std::string bytes;  // as fetched, byte-order mark included
  // A name of charset_labels.h ("utf-8", "windows-1252", ...). The one default: a page that
  // came without one (known only as text, or never fetched) is UTF-8.
  std::string charset = "utf-8";

  // A page known only as its UTF-8 text (the engine's serialisation, tests): its bytes are
  // the text.
  static SourcePage FromText(std::string utf8) {
    SourcePage page;
    page.text = utf8;
    page.bytes = std::move(utf8);
    return page;
  }
};

}  // namespace pq
