#include "site-script/request_head.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace pq::site {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

RequestHead InspectRequestHead(std::string_view bytes, std::size_t preread) {
  RequestHead head;
  // The head ends at the first blank line, with or without carriage returns.
  const std::size_t crlf = bytes.find("\r\n\r\n");
  const std::size_t lf = bytes.find("\n\n");
  if (crlf == std::string_view::npos && lf == std::string_view::npos) return head;
  head.complete = true;
  head.size = crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf)
                  ? crlf + 4
                  : lf + 2;
  std::string_view rest = bytes.substr(0, head.size);
  rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));  // the request line
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsNoCase(name, "Content-Length")) {
      std::size_t length = 0;
      const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
      if (ec == std::errc() && ptr == value.data() + value.size()) {
        head.bodyWanted = std::min(length, preread);
      } else if (ec == std::errc::result_out_of_range) {
        head.bodyWanted = preread;
      }
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
      head.chunked = value.find("chunked") != std::string_view::npos;
    } else if (EqualsNoCase(name, "Expect")) {
      head.expectsContinue = EqualsNoCase(value, "100-continue");
    }
  }
  if (head.chunked) head.bodyWanted = preread;
  return head;
}

bool RequestReady(std::string_view bytes, std::size_t preread) {
  const RequestHead head = InspectRequestHead(bytes, preread);
  if (!head.complete) return false;
  const std::string_view body = bytes.substr(head.size);
  if (body.size() >= head.bodyWanted) return true;
  // A chunked body shorter than preread is whole once its last (empty) chunk has come.
  return head.chunked && (body.rfind("0\r\n\r\n", 0) == 0 || body.ends_with("\r\n0\r\n\r\n"));
}

}  // namespace pq::site
