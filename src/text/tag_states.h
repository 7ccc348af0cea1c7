#pragma once
#include <cstddef>
#include <string_view>

namespace pq {

// The HTML tokenizer's states inside a start or end tag, as far as they decide where a quoted
// attribute value may open: only after an attribute's name and its "=" (blanks allowed around
// it). An "=" or a quote where a name begins is part of that name, and a quote inside an
// unquoted value is an ordinary character.
class TagStates {
 public:
  // Whether a quote read now opens a quoted value.
  bool QuoteOpensValue() const { return state_ == State::BeforeValue; }
  // One character of the tag after "<" or "</" (never ">", never a quote that opens a value).
  void Step(char c) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    switch (state_) {
      case State::Name:
        if (blank || c == '/') state_ = State::BeforeName;
        break;
      case State::BeforeName:
        if (!blank && c != '/') state_ = State::AttrName;
        break;
      case State::AttrName:
        if (blank) state_ = State::AfterName;
        else if (c == '/') state_ = State::BeforeName;
        else if (c == '=') state_ = State::BeforeValue;
        break;
      case State::AfterName:
        if (c == '/') state_ = State::BeforeName;
        else if (c == '=') state_ = State::BeforeValue;
        else if (!blank) state_ = State::AttrName;
        break;
      case State::BeforeValue:
        if (!blank) state_ = State::Value;
        break;
      case State::Value:
        if (blank) state_ = State::BeforeName;
        break;
    }
  }
  // After the closing quote of a value: what follows starts a new name.
  void QuotedValueEnded() { state_ = State::BeforeName; }

 private:
  enum class State { Name, BeforeName, AttrName, AfterName, BeforeValue, Value };
  State state_ = State::Name;
};

// Whether the "<" at p opens something the tokenizer ends at the first ">" whatever the quotes
// (a declaration "<!", a processing instruction "<?", "</" without a letter): not a start or
// end tag.
inline bool IsCommentLikeTag(std::string_view text, std::size_t p) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (p + 1 >= text.size()) return false;
  const char c = text[p + 1];
  return c == '!' || c == '?' || (c == '/' && !(p + 2 < text.size() && letter(text[p + 2])));
}

}  // namespace pq
