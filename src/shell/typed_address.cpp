#include "shell/typed_address.h"

#include <array>

namespace pq {

namespace {

constexpr std::array<std::string_view, 9> kBlanks = {" ", "\t", "\r", "\n", "\f", "\v",
                                                     "\xC2\xA0",       // no-break space
                                                     "\xE3\x80\x80",   // ideographic space
                                                     "\xE2\x80\xAF"};  // narrow no-break space

std::size_t BlankAt(std::string_view text, std::size_t pos) {
  for (std::string_view b : kBlanks)
    if (text.substr(pos, b.size()) == b) return b.size();
  return 0;
}

std::size_t BlankEndingAt(std::string_view text, std::size_t end) {
  for (std::string_view b : kBlanks)
    if (b.size() <= end && text.substr(end - b.size(), b.size()) == b) return b.size();
  return 0;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end) {
    const std::size_t n = BlankAt(text, begin);
    if (n == 0) break;
    begin += n;
  }
  while (end > begin) {
    const std::size_t n = BlankEndingAt(text, end);
    if (n == 0 || end - n < begin) break;
    end -= n;
  }
  return std::string(text.substr(begin, end - begin));
}

std::string TypedAddress(std::string_view typed) {
  const std::string address = TrimBlanks(typed);
  if (address.empty()) return address;
  const bool bare = address.find("://") == std::string::npos && address.rfind("about:", 0) != 0;
  return bare ? "http://" + address : address;
}

}  // namespace pq
