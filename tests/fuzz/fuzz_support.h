#pragma once
// What the fuzz targets share: reading a structured case from the fuzzer's bytes, and
// stopping with a message when a property does not hold (libFuzzer keeps the input).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace pq::fuzz {

// Takes values from the front of the input; an exhausted input gives zeros and empty text.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}
  bool Empty() const { return rest_.empty(); }
  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : Byte() % n; }
  // Up to the next `separator` (taken, not returned), or the rest.
  std::string_view Until(char separator) {
    const std::size_t at = rest_.find(separator);
    const std::string_view part = rest_.substr(0, at);
    rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
    return part;
  }
  std::string_view Rest() {
    const std::string_view all = rest_;
    rest_ = {};
    return all;
  }

 private:
  std::string_view rest_;
};

inline std::string Printable(std::string_view s, std::size_t max = 400) {
  std::string out;
  for (std::size_t i = 0; i < s.size() && i < max; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (s.size() > max) out += "...";
  return out;
}

[[noreturn]] inline void Fail(const char* property, std::string_view a = {}, std::string_view b = {}) {
  std::fprintf(stderr, "\nPROPERTY FAILED: %s\n", property);
  if (!a.empty()) std::fprintf(stderr, "  got:      %s\n", Printable(a).c_str());
  if (!b.empty()) std::fprintf(stderr, "  expected: %s\n", Printable(b).c_str());
  std::abort();
}

inline void Require(bool ok, const char* property, std::string_view a = {}, std::string_view b = {}) {
  if (!ok) Fail(property, a, b);
}

inline void RequireEqual(std::string_view got, std::string_view expected, const char* property) {
  if (got != expected) Fail(property, got, expected);
}

// Whether text is valid UTF-8 (as the Encoding Standard's decoder reads it).
inline bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                                 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const auto c1 = static_cast<unsigned char>(s[i + 1 < s.size() ? i + 1 : i]);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;
    i += n;
  }
  return true;
}

}  // namespace pq::fuzz
