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

std::string SchemeOf(std::string_view address) {
  std::size_t i = 0;
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (address.empty() || !letter(address[0])) return "";
  while (i < address.size() && (letter(address[i]) || digit(address[i]) || address[i] == '+' ||
                                address[i] == '-' || address[i] == '.'))
    ++i;
  if (i >= address.size() || address[i] != ':') return "";
  // "host:8080" and "host:8080/page" are a host with a port, not a scheme.
  std::size_t j = i + 1;
  while (j < address.size() && digit(address[j])) ++j;
  if (j > i + 1 && (j == address.size() || address[j] == '/' || address[j] == '?' || address[j] == '#'))
    return "";
  std::string scheme(address.substr(0, i));
  for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return scheme;
}

std::string TypedAddress(std::string_view typed) {
  const std::string address = TrimBlanks(typed);
  if (address.empty()) return address;
  // Only a bare host becomes a web address; any other kind of address stays as typed, for the
  // browse pane to refuse with the reason.
  return SchemeOf(address).empty() ? "http://" + address : address;
}

}  // namespace pq
