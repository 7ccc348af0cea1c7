// The clipboard's "HTML Format" block: the offsets in its header point exactly at the HTML and
// at the fragment, whatever the fragment, prefix and suffix hold.
#include <string>

#include "text/html_clipboard.h"
#include "fuzz_support.h"

namespace {

using namespace pq::fuzz;

// The value of "Name:" in the header (ten digits), or npos.
std::size_t HeaderNumber(std::string_view block, std::string_view name) {
  const std::size_t header = block.find("<!--StartFragment -->");
  const std::size_t at = block.substr(0, header).find(std::string(name) + ":");
  if (at == std::string_view::npos) return std::string_view::npos;
  std::size_t value = 0, p = at + name.size() + 1;
  for (; p < block.size() && block[p] >= '0' && block[p] <= '9'; ++p) value = value * 10 + (block[p] - '0');
  if (p - (at + name.size() + 1) != 10) return std::string_view::npos;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::string fragment(in.Until('\0'));
  const std::string prefix(in.Until('\0'));
  const std::string suffix(in.Rest());
  const std::string block = pq::HtmlFormatBlock(fragment, prefix, suffix);
  Require(block.rfind("Version:1.0\r\n", 0) == 0, "the block starts with its version");
  const std::size_t startHtml = HeaderNumber(block, "StartHTML");
  const std::size_t endHtml = HeaderNumber(block, "EndHTML");
  const std::size_t startFragment = HeaderNumber(block, "StartFragment");
  const std::size_t endFragment = HeaderNumber(block, "EndFragment");
  Require(startHtml <= startFragment && startFragment <= endFragment && endFragment <= endHtml &&
              endHtml == block.size(),
          "the offsets are in order and end at the block's end", block);
  RequireEqual(block.substr(startFragment, endFragment - startFragment), fragment,
               "StartFragment and EndFragment enclose the fragment");
  RequireEqual(block.substr(startHtml, endHtml - startHtml),
               prefix + "<!--StartFragment -->" + fragment + "<!--EndFragment -->" + suffix,
               "StartHTML and EndHTML enclose the HTML");
  RequireEqual(pq::HtmlFormatMarkup(fragment, prefix, suffix), prefix + fragment + suffix,
               "text/html is the HTML without the fragment comments");
  return 0;
}
