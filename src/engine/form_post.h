#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "text/form_fields.h"

namespace pq::engine {

inline constexpr std::chrono::seconds kPostTimeout{60};

struct PostResult {
  bool ok = false;      // an answer came (any status)
  unsigned status = 0;  // HTTP status of the last answer, after redirects
  std::string text;     // its body as UTF-8 text
  std::string bytes;    // its body exactly as it came
  std::string problem;  // nothing usable was sent or answered: untrusted certificate, redirect
                        // to another site (then the post went no further)
  std::string failure;  // the network library's words when no answer came
  bool cancelled = false;  // aborted when the caller's stop said so
  bool timedOut = false;   // no answer came by the deadline
  bool sent = false;       // the whole post was written out (it may have been stored)
};

// POSTs a body to a web address, following redirects as a browser does but only within the
// address's own scheme, host and port; the main context keeps running while it waits, and it
// gives up after the timeout, or at once when `stop` says true (the user cancelled).
PostResult PostForm(const std::string& url, const std::string& body,
                    const std::string& contentType,
                    std::chrono::milliseconds timeout = kPostTimeout,
                    std::function<bool()> stop = {});

// Posts named text fields to a web address as an HTML form would, and gives back the page
// the server answers with. The server receives each value exactly as it was added, in the
// character set given (the page's own).
class SubmitIEformCtrl {
 public:
  void Reset() { fields_.Reset(); }
  void SetCharset(const std::string& charset) { fields_.SetCharset(charset); }
  void AddField(const std::string& name, const std::string& value) { fields_.AddField(name, value); }
  // A value that already is bytes of the character set.
  void AddFieldBytes(const std::string& name, const std::string& bytes) {
    fields_.AddFieldBytes(name, bytes);
  }
  void SetFields(FormFields fields) { fields_ = std::move(fields); }
  const FormFields& Fields() const { return fields_; }

  // The whole answer: whether one came, its status and text, or why there is none.
  PostResult Submit(const std::string& url, std::chrono::milliseconds timeout = kPostTimeout,
                    std::function<bool()> stop = {});
  // The reply page's text; "" when no answer came in time.
  std::string SubmitData(const std::string& url,
                         std::chrono::milliseconds timeout = kPostTimeout);

 private:
  FormFields fields_;
};

}  // namespace pq::engine
