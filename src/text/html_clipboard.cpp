#include "text/html_clipboard.h"

#include <cstdio>

namespace pq {

namespace {

constexpr std::string_view kHeader =
    "Version:1.0\r\nStartHTML:aaaaaaaaaa\r\nEndHTML:bbbbbbbbbb\r\n"
    "StartFragment:cccccccccc\r\nEndFragment:dddddddddd\r\n";
constexpr std::string_view kStartFragment = "<!--StartFragment -->";
constexpr std::string_view kEndFragment = "<!--EndFragment -->";

// Writes the ten-digit number over the ten placeholder letters (same length, nothing moves).
void Fill(std::string& block, std::string_view placeholder, std::size_t value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%010zu", value);
  block.replace(block.find(placeholder), placeholder.size(), digits, 10);
}

}  // namespace

std::string HtmlFormatMarkup(std::string_view fragment, std::string_view prefix,
                             std::string_view suffix) {
  std::string html;
  html.reserve(prefix.size() + fragment.size() + suffix.size());
  html.append(prefix).append(fragment).append(suffix);
  return html;
}

std::string HtmlFormatBlock(std::string_view fragment, std::string_view prefix,
                            std::string_view suffix) {
  const std::size_t startFragment = kHeader.size() + prefix.size() + kStartFragment.size();
  const std::size_t endFragment = startFragment + fragment.size();
  std::string block(kHeader);
  block.append(prefix).append(kStartFragment).append(fragment).append(kEndFragment).append(suffix);
  Fill(block, "aaaaaaaaaa", kHeader.size());
  Fill(block, "bbbbbbbbbb", block.size());
  Fill(block, "cccccccccc", startFragment);
  Fill(block, "dddddddddd", endFragment);
  return block;
}

}  // namespace pq
