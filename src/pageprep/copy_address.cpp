#include "pageprep/copy_address.h"

#include "text/percent_decoding.h"
#include "text/text_util.h"

namespace pq {

std::string CopyAddressOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url(kCopyScheme);
  url += "://";
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

std::optional<std::string> CopyPathOf(std::string_view address, std::string_view folder) {
  const std::string prefix = std::string(kCopyScheme) + "://";
  if (!StartsWithNoCase(address, prefix) || folder.empty() || folder.back() != '/')
    return std::nullopt;
  address.remove_prefix(prefix.size());
  address = address.substr(0, address.find_first_of("?#"));
  const std::optional<std::string> decoded = PercentDecode(address, false);
  if (!decoded) return std::nullopt;
  const std::string& path = *decoded;
  if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return std::nullopt;
  const std::string_view name = std::string_view(path).substr(folder.size());
  if (name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos || name == "." ||
      name == "..")
    return std::nullopt;
  return path;
}

}  // namespace pq
