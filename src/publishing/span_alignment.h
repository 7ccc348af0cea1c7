#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The smallest part of an edited span that changed, as a range of the span's source text and
// the new contents of that range as the engine serialises them.
struct SpanChange {
  std::size_t begin = 0;  // in the span's source text
  std::size_t end = 0;
  std::string now;
};

// Where `recorded` (the span's contents as the engine serialised them when the page was made
// editable) and `now` (as they are after editing) differ, mapped onto `source` (the same span as
// the page's own text) by walking source and recorded with the HTML tokenizer: text characters,
// character references and tags aligned one to one. Everything outside the returned range keeps
// the page's own text. nullopt when the two cannot be aligned exactly (the caller then replaces
// the whole span).
std::optional<SpanChange> AlignSpanChange(std::string_view source, std::string_view recorded,
                                          std::string_view now);

}  // namespace pq
