#include "publishing/page_revisions.h"

#include <charconv>

#include "text/text_util.h"
#include "publishing/md5.h"
#include "publishing/site_replies.h"

namespace pq {

namespace {

FormFields Authenticated(std::string_view action, std::string_view file, int passKey,
                         const std::string& password) {
  const std::string key = std::to_string(passKey);
  FormFields fields;
  fields.AddField("passkey", key);
  fields.AddField("hash", MD5Hex(password + key));
  fields.AddField("action", action);
  fields.AddField("file", file);
  return fields;
}

// Where the site script's first field begins ("@@" + field 1), npos when the reply holds none.
std::size_t FirstMarker(std::string_view reply) { return reply.find("@@"); }

bool StartsListing(std::string_view reply, std::size_t marker) {
  return reply.compare(marker, 6, "@@ok@@") == 0;
}

// The refusal's words and what they mean; `answer` is left alone for a listing.
void ReadRefusal(std::string_view reply, RevisionsAnswer& answer, std::string& message) {
  const std::string_view words = TrimWhitespace(ReplyField(reply, 1).value_or(""));
  message = std::string(words.substr(0, 1000));
  if (message.empty()) message = "Unknown Error";
  answer = MeansUnknownRequest(words) ? RevisionsAnswer::TooOld : RevisionsAnswer::Refused;
}

std::optional<std::uint64_t> ParseSize(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsRevisionId(std::string_view id) {
  if (id.empty() || id.size() > kMaxRevisionIdLength) return false;
  for (char c : id)
    if (c <= ' ' || c > '~') return false;  // goes back in a form field and on screen as is
  return true;
}

std::optional<PageRevision> ParseEntry(std::string_view entry) {
  const auto bar1 = entry.find('|');
  if (bar1 == std::string_view::npos) return std::nullopt;
  const auto bar2 = entry.find('|', bar1 + 1);
  if (bar2 == std::string_view::npos || entry.find('|', bar2 + 1) != std::string_view::npos)
    return std::nullopt;
  const std::string_view id = entry.substr(0, bar1);
  const std::string_view time = entry.substr(bar1 + 1, bar2 - bar1 - 1);
  const auto seconds = ParseIsoTime(time);
  const auto size = ParseSize(entry.substr(bar2 + 1));
  if (!IsRevisionId(id) || !seconds || !size) return std::nullopt;
  return PageRevision{std::string(id), std::string(time), *seconds, *size};
}

// Reads exactly `digits` decimal digits at text[pos].
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t digits) {
  if (pos + digits > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

unsigned DaysInMonth(int year, int month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

FormFields RevisionsRequest(std::string_view file, int passKey, const std::string& password) {
  return Authenticated("revisions", file, passKey, password);
}

FormFields RestoreRequest(std::string_view file, std::string_view revision, int passKey,
                          const std::string& password) {
  FormFields fields = Authenticated("restore", file, passKey, password);
  fields.AddField("revision", revision);
  return fields;
}

FormFields FetchRevisionRequest(std::string_view file, std::string_view revision, int passKey,
                                const std::string& password) {
  FormFields fields = Authenticated("fetch", file, passKey, password);
  fields.AddField("revision", revision);
  return fields;
}

bool MeansUnknownRequest(std::string_view message) {
  const std::string words = AsciiLower(TrimWhitespace(message));
  return words == "unknown request" || words == "incomplete request";
}

RevisionsReply ParseRevisionsReply(std::string_view reply) {
  RevisionsReply r;
  const std::size_t marker = FirstMarker(reply);
  if (marker == std::string_view::npos) return r;
  if (!StartsListing(reply, marker)) {
    ReadRefusal(reply, r.answer, r.message);
    // An old script that took the post for a publication of nothing.
    if (r.message == "Updated") r.answer = RevisionsAnswer::TooOld;
    return r;
  }
  r.answer = RevisionsAnswer::Listed;
  std::string_view rest = reply.substr(marker + 6);
  while (!rest.empty()) {
    const auto end = rest.find("@@");
    const bool closed = end != std::string_view::npos;
    const std::string_view entry = TrimWhitespace(rest.substr(0, closed ? end : rest.size()));
    rest = closed ? rest.substr(end + 2) : std::string_view();
    if (entry.empty()) continue;  // "@@@@", or the end of the reply
    // Text after the last "@@" that is no entry at all (a page's closing tags) is not counted.
    if (!closed && entry.find('|') == std::string_view::npos) continue;
    // An entry without its closing "@@" is a reply cut short: its size cannot be trusted.
    std::optional<PageRevision> revision = closed ? ParseEntry(entry) : std::nullopt;
    if (!revision) {
      ++r.unreadable;
      continue;
    }
    if (r.revisions.size() < kMaxRevisionsListed) r.revisions.push_back(std::move(*revision));
  }
  return r;
}

RestoreReply ParseRestoreReply(std::string_view reply) {
  RestoreReply r;
  const std::size_t marker = FirstMarker(reply);
  if (marker == std::string_view::npos) return r;
  if (reply.compare(marker, 11, "@@Updated@@") == 0) {
    r.answer = RevisionsAnswer::Listed;
    return r;
  }
  ReadRefusal(reply, r.answer, r.message);
  return r;
}

RevisionBytesReply ParseRevisionBytesReply(std::string_view reply) {
  RevisionBytesReply r;
  const std::size_t marker = FirstMarker(reply);
  if (marker == std::string_view::npos) return r;
  if (!StartsListing(reply, marker)) {
    ReadRefusal(reply, r.answer, r.message);
    return r;
  }
  std::string_view rest = reply.substr(marker + 6);
  const auto end = rest.find("@@");
  if (end == std::string_view::npos) return r;
  const auto size = ParseSize(rest.substr(0, end));
  rest.remove_prefix(end + 2);
  if (!size || rest.size() < *size) return r;  // cut short
  r.answer = RevisionsAnswer::Listed;
  r.bytes = std::string(rest.substr(0, *size));
  return r;
}

std::optional<std::int64_t> ParseIsoTime(std::string_view t) {
  // YYYY-MM-DDTHH:MM:SS
  if (t.size() < 19 || t[4] != '-' || t[7] != '-' || (t[10] != 'T' && t[10] != ' ') ||
      t[13] != ':' || t[16] != ':')
    return std::nullopt;
  const auto year = Digits(t, 0, 4), month = Digits(t, 5, 2), day = Digits(t, 8, 2);
  const auto hour = Digits(t, 11, 2), minute = Digits(t, 14, 2), second = Digits(t, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || static_cast<unsigned>(*day) > DaysInMonth(*year, *month) ||
      *hour > 23 || *minute > 59 || *second > 60)
    return std::nullopt;
  std::size_t pos = 19;
  if (pos < t.size() && t[pos] == '.') {
    ++pos;
    const std::size_t first = pos;
    while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9' && pos - first < 9) ++pos;
    if (pos == first) return std::nullopt;
  }
  std::int64_t offset = 0;
  if (pos < t.size() && (t[pos] == 'Z' || t[pos] == 'z')) {
    ++pos;
  } else if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) {
    const auto oh = Digits(t, pos + 1, 2), om = Digits(t, pos + 4, 2);
    if (!oh || !om || pos + 3 >= t.size() || t[pos + 3] != ':' || *oh > 23 || *om > 59)
      return std::nullopt;
    offset = (t[pos] == '+' ? 1 : -1) * (*oh * 3600 + *om * 60);
    pos += 6;
  }
  if (pos != t.size()) return std::nullopt;
  return DaysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)) * 86400 +
         *hour * 3600 + *minute * 60 + *second - offset;
}

}  // namespace pq
