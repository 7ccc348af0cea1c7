#pragma once
#include <string>

namespace pq {

// What "I have forgotten my password" does: ask the site script to mail the password, or
// only tell the user whom to ask.
struct ForgottenPasswordNotice {
  bool sendRequest = false;  // GET siteRoot + "/pagequill/?type=email&now=" + stamp first
  std::string title = "Forgotten Password";
  std::string text;
};

inline ForgottenPasswordNotice ForgottenPassword(bool passwordEmailAllowed) {
  ForgottenPasswordNotice n;
  n.sendRequest = passwordEmailAllowed;
  n.text = passwordEmailAllowed
               ? "Your password has just been emailed to you"
               : "Please contact your Website Designer if you have forgotten your password";
  return n;
}

}  // namespace pq
