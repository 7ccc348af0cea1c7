#pragma once
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "site-script/pass_keys.h"
#include "site-script/password_mail.h"
#include "site-script/password_throttle.h"
#include "site-script/site_options.h"
#include "site-script/url_decoding.h"

namespace pq::site {

// The answers of the site script under "/pagequill/", apart from HTTP. Every reply is
// "@@" + word or message + "@@" (the check reply carries its three flags after
// "@@ok@@"); nothing else is ever sent back. Thread-safe.
class SiteScript {
 public:
  explicit SiteScript(const SiteOptions& options);

  std::string Check() const;
  std::string PassKey(const std::string& requester = "");
  // host: the site's name as the request gave it, for the message; requester: its address.
  std::string Email(const std::string& host, const std::string& requester);
  // A GET request by its type; params holds the query (a verify's pass key and hash).
  std::string Answer(const std::string& type, const std::string& host,
                     const std::string& requester,
                     const std::vector<FormField>& params = {});
  // type=verify: a pass key and hash checked like a publication's, nothing written.
  std::string Verify(const std::string* passkey, const std::string* hash,
                     const std::string& requester);
  // A post (a publication, type=verify, or action=revisions / restore / fetch) is answered in two
  // steps, as its fields arrive: Authenticate, then Act on all of them.
  // Throttling, the pass key (used up) and the hash: "" when the post may go on, else the
  // reply. A server reading a post as it arrives calls this as soon as both fields are in.
  std::string Authenticate(const std::string& passkey, const std::string& hash,
                           const std::string& requester);
  // What an authenticated post asks for.
  std::string Act(const std::vector<FormField>& fields, const std::string& requester);

  static std::string Reply(const std::string& text) { return "@@" + text + "@@"; }
  static constexpr const char* kConflict =
      "@@Conflict@@The page was changed on the website since it was opened@@";

 private:
  std::string StorePage(const std::vector<FormField>& fields, const std::string& requester);
  std::string Revisions(const std::vector<FormField>& fields, const std::string& requester);

  SiteOptions options_;
  std::filesystem::path root_;
  PassKeyStore keys_;
  PasswordThrottle throttle_;
  PasswordMailer mailer_;
  std::mutex authMutex_;   // one password check at a time, so the throttle sees each outcome
  std::mutex writeMutex_;  // one page write (and its backup) at a time
};

// Equal strings compared without an early exit, so timing tells nothing about the hash.
bool ConstantTimeEquals(const std::string& a, const std::string& b);

}  // namespace pq::site
