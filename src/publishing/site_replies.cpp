#include "publishing/site_replies.h"

#include <charconv>
#include <limits>

#include "text/text_util.h"

namespace pq {

std::optional<std::string_view> ReplyField(std::string_view reply, std::size_t index) {
  std::size_t begin = 0;
  for (std::size_t k = 0; k < index; ++k) {
    const auto at = reply.find("@@", begin);
    if (at == std::string_view::npos) return std::nullopt;
    begin = at + 2;
  }
  const auto end = reply.find("@@", begin);
  return reply.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

std::vector<std::string> ReplyFields(std::string_view reply) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  while (true) {
    const auto at = reply.find("@@", pos);
    if (at == std::string_view::npos) break;
    fields.emplace_back(reply.substr(pos, at - pos));
    pos = at + 2;
  }
  fields.emplace_back(reply.substr(pos));
  return fields;
}

CheckReply ParseCheckReply(std::string_view reply) {
  CheckReply r;
  if (reply.find("@@ok@@") == std::string_view::npos) return r;
  auto flag = [&](std::size_t i) {
    const auto field = ReplyField(reply, i);
    return field && field->size() == 1 && ((*field)[0] == 'Y' || (*field)[0] == 'y');
  };
  r.SiteReady = true;
  r.LinkTextEditable = flag(2);
  r.PasswordEmailAllowed = flag(3);
  r.EditableByDefault = flag(4);
  return r;
}

PassKeyReply ParsePassKeyReply(std::string_view reply) {
  PassKeyReply r;
  if (!ReplyField(reply, 2)) return r;  // no closing "@@" after the value
  std::string_view v = TrimWhitespace(*ReplyField(reply, 1));
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  long value = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return r;
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max())
    return r;
  r.ok = true;
  r.key = static_cast<std::int16_t>(value);
  return r;
}

PublishReply ParsePublishReply(std::string_view reply) {
  PublishReply r;
  if (reply.find("@@Updated@@") != std::string_view::npos) {
    r.Updated = true;
    return r;
  }
  if (const auto at = reply.find("@@Conflict@@"); at != std::string_view::npos) {
    r.Conflict = true;
    r.Message = std::string(TrimWhitespace(reply.substr(at + 12, 1000)));
    if (const auto end = r.Message.find("@@"); end != std::string::npos) r.Message.resize(end);
    if (r.Message.empty()) r.Message = "The page was changed on the website.";
    return r;
  }
  if (const auto message = ReplyField(reply, 1)) r.Message = std::string(*message);
  // An empty message would read as success to the password form, so a refusal always says something.
  if (TrimWhitespace(r.Message).empty()) r.Message = "Unknown Error";
  return r;
}

}  // namespace pq
