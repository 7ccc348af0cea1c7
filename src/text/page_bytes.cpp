#include "text/page_bytes.h"

#include "text/page_encoding.h"

namespace pq {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kNulCharacters =
    "The page holds NUL characters, so Pagequill cannot tell how it is stored and does not "
    "change it. Ask your website designer to save the page as UTF-8.";

PageBytes Refused(std::string message) { return {false, {}, std::move(message)}; }

}  // namespace

PageBytes PublishableBytes(const SourcePage& source, const std::vector<TextEdit>& edits) {
  const std::string_view bytes = source.bytes, text = source.text;
  const std::string charset = CanonicalCharset(source.charset);
  std::string wide = WideEncodingOf(bytes);
  if (wide.empty() && IsUtf16Charset(charset)) wide = "UTF-16";
  if (!wide.empty())
    return Refused("The page is stored in " + wide +
                   ", which Pagequill cannot write back without changing every byte of it. "
                   "Ask your website designer to save the page as UTF-8.");
  // Text with NUL characters is no page Pagequill can read: nothing is spliced into it.
  if (bytes.find('\0') != std::string_view::npos) return Refused(kNulCharacters);
  const std::string target = PostingCharset(charset, bytes);
  // The text may or may not begin with the byte-order mark the bytes begin with.
  const bool textLacksBom = charset == "utf-8" && bytes.substr(0, 3) == kUtf8Bom &&
                            text.substr(0, 3) != kUtf8Bom;
  const std::size_t bom = textLacksBom ? kUtf8Bom.size() : 0;
  const std::string_view body = bytes.substr(bom);

  std::vector<std::size_t> positions;
  positions.reserve(edits.size() * 2);
  std::size_t floor = 0;
  for (const auto& e : edits) {
    if (e.from < floor || e.to < e.from || e.to > text.size())
      return Refused("Pagequill could not find the changed text exactly in the page, so nothing "
                     "was published.");
    positions.insert(positions.end(), {e.from, e.to});
    floor = e.to;
  }
  const auto offsets = ByteOffsetsOf(body, charset, text, positions);
  if (!offsets)
    return Refused("The page's bytes do not read as the text Pagequill was given (it may have "
                   "changed while it was being read), so nothing was published.");
  PageBytes r{true, std::string(bytes.substr(0, bom)), {}};
  r.bytes.reserve(bytes.size() + 64);
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const auto written = EncodeTextReadingBack(edits[i].text, target, charset);
    if (!written)
      return Refused("The page is stored in the character set \"" + charset +
                     "\", which Pagequill cannot write.");
    r.bytes.append(body.substr(cursor, (*offsets)[2 * i] - cursor));
    r.bytes += *written;
    cursor = (*offsets)[2 * i + 1];
  }
  r.bytes.append(body.substr(cursor));
  // Whatever the edits held, no page with NUL bytes ever leaves the program.
  if (r.bytes.find('\0') != std::string::npos) return Refused(kNulCharacters);
  return r;
}

}  // namespace pq
