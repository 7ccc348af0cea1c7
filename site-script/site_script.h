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
  std::string PassKey();
  // host: the site's name as the request gave it, for the message; requester: its address.
  std::string Email(const std::string& host, const std::string& requester);
  std::string Answer(const std::string& type, const std::string& host,
                     const std::string& requester);
  // Checks a pass key and hash as a publication would, and stores nothing: "@@ok@@" or the
  // refusal a publication would get. A wrong password counts as one.
  std::string Verify(const std::string* passkey, const std::string* hash, const std::string& requester);
  // The fields of a publication post, in the order received (a post with "type" "verify" is
  // a verification).
  std::string Publish(const std::vector<FormField>& fields, const std::string& requester);

  static std::string Reply(const std::string& text) { return "@@" + text + "@@"; }

 private:
  // "" when the pass key is valid and the hash proves the password; else the refusal.
  std::string Authenticate(const std::string& passkey, const std::string& hash, const std::string& requester);

  SiteOptions options_;
  std::filesystem::path root_;
  PassKeyStore keys_;
  PasswordThrottle throttle_;
  PasswordMailer mailer_;
  std::mutex writeMutex_;  // one page write (and its backup) at a time
};

// Equal strings compared without an early exit, so timing tells nothing about the hash.
bool ConstantTimeEquals(const std::string& a, const std::string& b);

}  // namespace pq::site
