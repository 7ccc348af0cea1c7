#include "text/form_fields.h"

#include "text/page_encoding.h"

namespace pq {

void FormFields::AddField(std::string name, std::string_view value) {
  auto bytes = EncodeText(value, charset_);
  // A set that cannot be written (UTF-16) never gets here for a page; send UTF-8 then.
  fields_.push_back({std::move(name), bytes ? std::move(*bytes) : std::string(value)});
}

void FormFields::AddFieldBytes(std::string name, std::string bytes) {
  fields_.push_back({std::move(name), std::move(bytes)});
}

std::string FormFields::Body() const {
  std::string body;
  std::size_t size = 0;
  for (const auto& f : fields_) size += f.name.size() + f.bytes.size() + 2;
  body.reserve(size + size / 2);
  for (const auto& f : fields_) {
    if (!body.empty()) body += '&';
    body += FormUrlEncode(f.name);
    body += '=';
    body += FormUrlEncode(f.bytes);
  }
  return body;
}

std::string FormUrlEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
        c == '-' || c == '.' || c == '_') {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

}  // namespace pq
