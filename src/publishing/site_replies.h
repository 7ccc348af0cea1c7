#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Field `index` of a site script reply split at every "@@" (field 0 before the first), as a
// view into the reply; nullopt when the reply has fewer fields. Builds nothing, so a reply of
// any size costs no memory beyond itself.
std::optional<std::string_view> ReplyField(std::string_view reply, std::size_t index);
// All fields at once. Every field becomes a string: for replies known to be small.
std::vector<std::string> ReplyFields(std::string_view reply);

// "?type=check": ready when "@@ok@@" (exact case) occurs; missing flags count as not "Y".
struct CheckReply {
  bool SiteReady = false;
  bool LinkTextEditable = true;
  bool PasswordEmailAllowed = false;
  bool EditableByDefault = true;
};
CheckReply ParseCheckReply(std::string_view reply);

// "?type=passkey": field 1 as a signed 16-bit integer.
struct PassKeyReply {
  bool ok = false;
  std::int16_t key = 0;
};
PassKeyReply ParsePassKeyReply(std::string_view reply);

// The reply to a publication post.
struct PublishReply {
  bool Updated = false;
  bool Conflict = false;  // "@@Conflict@@": the page changed on the website; nothing was stored
  std::string Message;  // the refusal's message, "Unknown Error" when unmarked
};
PublishReply ParsePublishReply(std::string_view reply);

}  // namespace pq
