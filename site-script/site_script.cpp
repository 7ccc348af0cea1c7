#include "site-script/site_script.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "publishing/md5.h"
#include "site-script/page_writer.h"
#include "site-script/revisions.h"
#include "site-script/site_paths.h"

namespace pq::site {

namespace {

const std::string* FindField(const std::vector<FormField>& fields, const char* name) {
  for (const auto& f : fields) {
    if (f.name == name) return &f.value;
  }
  return nullptr;
}

// The pass key as the program sends it: plain decimal, "-" before a negative value.
std::optional<long> ParsePassKey(const std::string& text) {
  long value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || std::to_string(value) != text) return std::nullopt;
  if (value < -32768 || value > 32767) return std::nullopt;
  return value;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

// The whole file, or nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

void Log(const std::string& requester, const std::string& what) {
  std::fprintf(stderr, "pagequill-site: %s: %s\n", requester.c_str(), what.c_str());
}

}  // namespace

bool ConstantTimeEquals(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return diff == 0;
}

SiteScript::SiteScript(const SiteOptions& options)
    : options_(options),
      root_(options.root),
      keys_({options.keysPerIssue, std::chrono::seconds(options.keyLifetimeSeconds)},
            SystemRandom()),
      throttle_({options.slowAfter, options.lockoutAfter,
                 std::chrono::seconds(options.lockoutSeconds), options.siteSlowAfter,
                 std::chrono::seconds(options.siteMaxDelaySeconds)}),
      mailer_(options.mailCommand, options.mailFile,
              std::chrono::seconds(options.mailIntervalSeconds)) {}

std::string SiteScript::Check() const {
  const std::string& f = options_.flags;
  return "@@ok@@" + std::string(1, f[0]) + "@@" + f[1] + "@@" + f[2] + "@@";
}

std::string SiteScript::PassKey(const std::string& requester) {
  const auto key = keys_.Issue(requester);
  if (!key) {
    Log(requester, "refused: too many pass keys asked for");
    return Reply("Too many pass keys were asked for - please try again in a few minutes");
  }
  return Reply(std::to_string(*key));
}

std::string SiteScript::Email(const std::string& host, const std::string& requester) {
  if (options_.flags[1] != 'Y') return Reply("Password e-mail is not allowed on this site");
  switch (mailer_.Send(options_.password, host.empty() ? "this website" : host, requester)) {
    case PasswordMailer::Outcome::Sent:
      Log(requester, "password e-mailed to the site owner");
      return Reply("Sent");
    case PasswordMailer::Outcome::NotConfigured:
      return Reply("Password e-mail is not set up on this server");
    case PasswordMailer::Outcome::TooSoon:
      return Reply("The password was e-mailed a moment ago - please wait before asking again");
    case PasswordMailer::Outcome::Failed:
      break;
  }
  Log(requester, "the password e-mail could not be sent");
  return Reply("The password e-mail could not be sent");
}

std::string SiteScript::Answer(const std::string& type, const std::string& host,
                               const std::string& requester,
                               const std::vector<FormField>& params) {
  if (type == "check") return Check();
  if (type == "passkey") return PassKey(requester);
  if (type == "email") return Email(host, requester);
  if (type == "verify") {
    return Verify(FindField(params, "passkey"), FindField(params, "hash"), requester);
  }
  return Reply("Unknown request");
}

std::string SiteScript::Verify(const std::string* passkey, const std::string* hash,
                               const std::string& requester) {
  if (!passkey || !hash) return Reply("Incomplete request");
  const std::string refusal = Authenticate(*passkey, *hash, requester);
  return refusal.empty() ? Reply("ok") : refusal;
}

std::string SiteScript::Authenticate(const std::string& passkey, const std::string& hash,
                                     const std::string& requester) {
  std::lock_guard lock(authMutex_);
  switch (throttle_.Check(requester)) {
    case PasswordThrottle::Verdict::Allowed:
      break;
    case PasswordThrottle::Verdict::TooSoon:
      return Reply("Too many wrong passwords - please wait a moment and try again");
    case PasswordThrottle::Verdict::LockedOut:
      return Reply("Too many wrong passwords - publishing is blocked for a while");
    case PasswordThrottle::Verdict::SiteTooSoon:
      return Reply("Too many wrong passwords on this site - please wait a moment and try again");
  }
  const auto key = ParsePassKey(passkey);
  if (!key || !keys_.Redeem(*key)) {
    Log(requester, "refused: pass key " + passkey.substr(0, 8) + " not valid");
    return Reply("Pass key not valid");
  }
  if (!ConstantTimeEquals(Lower(hash), MD5Hex(options_.password + passkey))) {
    throttle_.RecordWrong(requester);
    Log(requester, "refused: wrong password");
    return Reply("Wrong password");
  }
  throttle_.RecordRight(requester);
  return "";
}

std::string SiteScript::Act(const std::vector<FormField>& fields, const std::string& requester) {
  const std::string* action = FindField(fields, "action");
  if (const std::string* type = FindField(fields, "type"); type && *type == "verify") {
    return Reply("ok");
  }
  if (!action) return StorePage(fields, requester);
  if (*action == "revisions" || *action == "restore" || *action == "fetch") {
    return Revisions(fields, requester);
  }
  return Reply("Unknown request");
}

std::string SiteScript::StorePage(const std::vector<FormField>& fields,
                                  const std::string& requester) {
  const std::string* file = FindField(fields, "file");
  const std::string* html = FindField(fields, "html");
  const std::string* base = FindField(fields, "base");
  if (!file || !html) return Reply("Incomplete request");
  const auto target = ResolvePublishTarget(root_, *file);
  if (!target) {
    Log(requester, "refused: file not allowed");
    return Reply("File not allowed");
  }
  std::string error;
  {
    std::lock_guard lock(writeMutex_);
    // The page must still be the one the edit was made on; a new page counts as empty.
    if (base && !base->empty() &&
        !ConstantTimeEquals(Lower(*base), MD5HexOfBytes(ReadWholeFile(*target).value_or("")))) {
      Log(requester, "refused: page changed since it was opened: " + target->string());
      return kConflict;
    }
    error = WritePage(root_, *target, *html, options_.backupDir,
                      static_cast<std::size_t>(options_.revisions));
  }
  if (!error.empty()) {
    Log(requester, error + ": " + target->string());
    return Reply(error);
  }
  Log(requester, "updated " + target->string());
  return Reply("Updated");
}

std::string SiteScript::Revisions(const std::vector<FormField>& fields,
                                  const std::string& requester) {
  const std::string* action = FindField(fields, "action");
  const std::string* file = FindField(fields, "file");
  if (!file) return Reply("Incomplete request");
  const auto target = ResolvePublishTarget(root_, *file);
  if (!target) {
    Log(requester, "refused: file not allowed");
    return Reply("File not allowed");
  }
  const auto stem = RevisionStem(root_, *target, options_.backupDir);
  std::lock_guard lock(writeMutex_);
  if (*action == "revisions") {
    std::string reply = "@@ok@@";
    for (const auto& r : ListRevisions(stem)) {
      reply += r.id + "|" + r.time + "|" + std::to_string(r.size) + "@@";
    }
    return reply;
  }
  const std::string* id = FindField(fields, "revision");
  const auto revision = id ? FindRevision(stem, *id) : std::nullopt;
  if (!revision) return Reply("No such revision");
  const auto bytes = ReadWholeFile(revision->file);
  if (!bytes) return Reply("Cannot read that revision");
  // The size first: the bytes may hold "@@" themselves, and a reply cut short shows.
  if (*action == "fetch") return "@@ok@@" + std::to_string(bytes->size()) + "@@" + *bytes;
  // The current version becomes a revision itself, so a restore can be undone.
  const std::string error = WritePage(root_, *target, *bytes, options_.backupDir,
                                      static_cast<std::size_t>(options_.revisions));
  if (!error.empty()) {
    Log(requester, error + ": " + target->string());
    return Reply(error);
  }
  Log(requester, "restored " + target->string() + " from " + revision->id);
  return Reply("Updated");
}

}  // namespace pq::site
