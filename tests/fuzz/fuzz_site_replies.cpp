// The replies of the site script, whatever a server sends: fields split the same way by both
// readers, and each parser decides from the fields it documents.
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "text/text_util.h"
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
  return 0;
}
