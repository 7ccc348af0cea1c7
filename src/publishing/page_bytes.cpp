#include "publishing/page_bytes.h"

#include "pageprep/page_encoding.h"
#include "publishing/text_diff.h"

namespace pq {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

PageBytes Refused(std::string message) { return {false, {}, std::move(message)}; }

}  // namespace

PageBytes PublishableBytes(const PageSource& source, std::string_view publishable) {
  const std::string charset = CanonicalCharset(source.charset);
  if (IsUtf16Page(charset, source.bytes))
    return Refused("The page is stored in UTF-16 (" + (IsUtf16Charset(charset) ? charset : "utf-16") +
                   "), which Pagequill cannot write back without changing every byte of it. "
                   "Ask your website designer to save the page as UTF-8.");
  const std::string target = PostingCharset(charset, source.bytes);
  // The text may or may not begin with the byte-order mark the bytes begin with.
  const bool addBom = charset == "utf-8" && source.bytes.substr(0, 3) == kUtf8Bom &&
                      source.text.substr(0, 3) != kUtf8Bom;
  const std::string_view bom = addBom ? kUtf8Bom : std::string_view();
  const std::string_view body = source.bytes.substr(bom.size());

  const auto again = EncodeText(source.text, target);
  if (!again)
    return Refused("The page is stored in the character set \"" + charset +
                   "\", which Pagequill cannot write.");
  if (*again == body) {
    PageBytes r{true, std::string(bom), {}};
    r.bytes += *EncodeText(publishable, target);
    return r;
  }

  // The page's bytes do not survive reading and writing: splice the changes into them.
  const auto edits = DiffTexts(source.text, publishable);
  std::vector<std::size_t> positions;
  positions.reserve(edits.size() * 2);
  for (const auto& e : edits) positions.insert(positions.end(), {e.from, e.to});
  const auto offsets = ByteOffsetsOf(body, charset, source.text, positions);
  if (!offsets) {
    // The bytes do not read as the text we have: the text is all we can go by.
    PageBytes r{true, std::string(bom), {}};
    r.bytes += *EncodeText(publishable, target);
    return r;
  }
  PageBytes r{true, std::string(bom), {}};
  r.bytes.reserve(source.bytes.size() + publishable.size() / 8);
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const std::size_t from = (*offsets)[2 * i];
    const std::size_t to = (*offsets)[2 * i + 1];
    r.bytes.append(body.substr(cursor, from - cursor));
    r.bytes += *EncodeText(edits[i].text, target);
    cursor = to;
  }
  r.bytes.append(body.substr(cursor));
  return r;
}

}  // namespace pq
