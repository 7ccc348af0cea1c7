#include "engine/in_page_runtime.h"

#include <cstdio>

namespace pq::engine {

std::string JsString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
          // U+2028 and U+2029 end a line inside older JavaScript string literals.
          out += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
          i += 2;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string RuntimeCall(std::string_view operation, std::string_view arguments) {
  // A document without the runtime (the view's initial empty document) answers with an object
  // that says so, and the adapter then sends the runtime once before the call.
  std::string s = "(window.__pq ? window.__pq.";
  s += operation;
  s += '(';
  s += arguments;
  s += ") : {";
  s += kRuntimeMissing;
  s += ": true});";
  return s;
}

std::string RuntimeInstallAndCall(std::string_view operation, std::string_view arguments) {
  std::string s(InPageRuntimeSource());
  s += '\n';
  s += RuntimeCall(operation, arguments);
  return s;
}

}  // namespace pq::engine
