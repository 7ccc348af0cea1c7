#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pq {

inline constexpr const char* kFormContentType = "application/x-www-form-urlencoded";

// The fields of one form post, in the order added, each value held as the bytes to send.
class FormFields {
 public:
  // The character set text values are sent in (the page's own); UTF-8 until set.
  void SetCharset(std::string charset) { charset_ = std::move(charset); }
  const std::string& Charset() const { return charset_; }

  void Reset() { fields_.clear(); }
  // A text value (UTF-8), sent in the character set; characters the set cannot hold are sent
  // as numeric character references.
  void AddField(std::string name, std::string_view value);
  // A value that already is bytes of the character set, sent exactly as it stands.
  void AddFieldBytes(std::string name, std::string bytes);

  struct Field {
    std::string name;
    std::string bytes;
  };
  const std::vector<Field>& Fields() const { return fields_; }
  // "name=value&name=value", every byte outside A-Z a-z 0-9 * - . _ percent-encoded and
  // spaces written as "+", as a browser sends a form.
  std::string Body() const;

 private:
  std::string charset_ = "utf-8";
  std::vector<Field> fields_;
};

// One name or value as a form body holds it.
std::string FormUrlEncode(std::string_view bytes);

}  // namespace pq
