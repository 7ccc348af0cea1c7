#include "text/text_util.h"

#include <algorithm>

#include "text/tag_states.h"

namespace pq {

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && AsciiLower(s.substr(0, prefix.size())) == AsciiLower(prefix);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         AsciiLower(s.substr(s.size() - suffix.size())) == AsciiLower(suffix);
}

std::string_view TrimWhitespace(std::string_view s) {
  auto ws = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && ws(s.front())) s.remove_prefix(1);
  while (!s.empty() && ws(s.back())) s.remove_suffix(1);
  return s;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (true) {
    const auto hit = s.find(from, pos);
    if (hit == std::string_view::npos || from.empty()) break;
    out.append(s, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::size_t QuotedTagEnd(std::string_view text, std::size_t from, std::size_t limit) {
  limit = std::min(limit, text.size());
  TagStates states;
  for (std::size_t i = from + (from + 1 < limit && text[from + 1] == '/' ? 2 : 1); i < limit; ++i) {
    const char c = text[i];
    if (c == '>') return i;
    if ((c == '"' || c == '\'') && states.QuoteOpensValue()) {
      i = text.substr(0, limit).find(c, i + 1);
      if (i == std::string_view::npos) return i;  // the value runs past the limit
      states.QuotedValueEnded();
      continue;
    }
    states.Step(c);
  }
  return std::string_view::npos;
}

}  // namespace pq
