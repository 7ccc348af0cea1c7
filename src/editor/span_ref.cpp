#include "editor/span_ref.h"

#include <cctype>

namespace pq {

namespace {
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}
}  // namespace

SpanIdKind KindOfSpan(std::string_view id) {
  if (StartsWithNoCase(id, "ZZZEDIT")) return SpanIdKind::kEdit;
  if (StartsWithNoCase(id, "ZZZANCHOR")) return SpanIdKind::kAnchor;
  return SpanIdKind::kNone;
}

}  // namespace pq
