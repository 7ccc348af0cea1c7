#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The program's own copies of pages (the edit copy, frame copies, preview copies, all in
// TempFolder()) are shown under a scheme of their own that always serves them as HTML. Under a
// file address the desktop's type sniffing reads a copy that starts with an XML declaration or
// an XHTML DOCTYPE as XHTML, and the engine then parses the page as XML.
inline constexpr std::string_view kCopyScheme = "pagequill-copy";

// "pagequill-copy://" + path, with the characters an address cannot hold percent-encoded.
std::string CopyAddressOf(std::string_view path);

// The file a copy address names: only a file directly inside `folder` (which ends in "/"); any
// other address (another scheme, another folder, a sub-folder, "..", a NUL) gives nullopt, so
// that no page can read other files through the scheme. A query or fragment is ignored.
std::optional<std::string> CopyPathOf(std::string_view address, std::string_view folder);

}  // namespace pq
