// The replies of the site script, whatever a server sends: fields split the same way by both
// readers, and each parser decides from the fields it documents.
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "text/text_util.h"
#include "publishing/page_revisions.h"
#include "publishing/site_replies.h"

using namespace pq::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> fields = pq::ReplyFields(reply);
  Require(!fields.empty(), "a reply has at least field 0");
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto one = pq::ReplyField(reply, i);
    Require(one.has_value(), "every field is there one by one");
    RequireEqual(*one, fields[i], "both readers split alike");
    joined += (i ? "@@" : "") + fields[i];
  }
  Require(!pq::ReplyField(reply, fields.size()), "there is no field past the last");
  RequireEqual(joined, reply, "the fields joined by @@ are the reply");

  const pq::CheckReply check = pq::ParseCheckReply(reply);
  Require(check.SiteReady == (reply.find("@@ok@@") != std::string::npos),
          "the site is ready exactly when the reply holds @@ok@@", reply);

  // The pass key: field 1 (before a closing "@@") as a decimal integer that fits 16 bits.
  const pq::PassKeyReply key = pq::ParsePassKeyReply(reply);
  std::optional<long> number;
  if (fields.size() > 2) {
    std::string_view v = pq::TrimWhitespace(fields[1]);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    const bool negative = !v.empty() && v.front() == '-';
    if (negative) v.remove_prefix(1);
    bool digits = !v.empty();
    for (const char c : v) digits = digits && c >= '0' && c <= '9';
    while (digits && v.size() > 1 && v.front() == '0') v.remove_prefix(1);
    if (digits && v.size() <= 6) number = (negative ? -1 : 1) * std::stol(std::string(v));
  }
  const bool fits = number && *number >= -32768 && *number <= 32767;
  Require(key.ok == fits, "a pass key is read exactly when field 1 is a 16-bit number", reply);
  if (fits) Require(key.key == *number, "the pass key is the number of field 1", reply);

  const pq::PublishReply published = pq::ParsePublishReply(reply);
  Require(!(published.Updated && published.Conflict), "a publication is stored or in conflict, not both", reply);
  if (!published.Updated && !published.Conflict)
    Require(!published.Message.empty(), "a refusal always says why", reply);

  // Earlier versions: a listing exactly when the first field is "ok", bounded, every id one
  // that can go back in a form field; a refusal always says why, in few words.
  const std::size_t first = reply.find("@@");
  const bool listing = first != std::string::npos && reply.compare(first, 6, "@@ok@@") == 0;
  const pq::RevisionsReply revisions = pq::ParseRevisionsReply(reply);
  Require((revisions.answer == pq::RevisionsAnswer::Listed) == listing,
          "versions are listed exactly when field 1 is ok", reply);
  Require((revisions.answer == pq::RevisionsAnswer::Unreadable) == (first == std::string::npos),
          "only a reply without fields is unreadable", reply);
  Require(revisions.revisions.size() <= pq::kMaxRevisionsListed, "the list is bounded", reply);
  for (const auto& r : revisions.revisions) {
    Require(!r.id.empty() && r.id.size() <= pq::kMaxRevisionIdLength, "an id has a bounded length", reply);
    for (const char c : r.id) Require(c > ' ' && c <= '~' && c != '|', "an id is printable", reply);
    Require(reply.find(r.id + "|" + r.time + "|") != std::string::npos, "an entry is taken from the reply", reply);
  }
  if (revisions.answer == pq::RevisionsAnswer::Refused || revisions.answer == pq::RevisionsAnswer::TooOld)
    Require(!revisions.message.empty() && revisions.message.size() <= 1000, "a refusal says why, briefly", reply);
  const pq::RevisionBytesReply bytes = pq::ParseRevisionBytesReply(reply);
  if (bytes.answer == pq::RevisionsAnswer::Listed) {
    Require(listing, "bytes come only after ok", reply);
    const std::size_t sizeEnd = reply.find("@@", first + 6);
    Require(sizeEnd != std::string::npos &&
                reply.compare(sizeEnd + 2, bytes.bytes.size(), bytes.bytes) == 0,
            "the bytes are those after their size", reply);
    const std::string size = reply.substr(first + 6, sizeEnd - first - 6);
    Require(!size.empty() && std::stoull(size) == bytes.bytes.size(), "as many bytes as the size says", reply);
  }
  return 0;
}
