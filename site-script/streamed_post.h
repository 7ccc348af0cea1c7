#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "site-script/url_decoding.h"

namespace pq::site {

// A post's fields as they arrive, so that nobody without the password can make the server
// hold a large body: the pass key and hash come first, and as soon as both are in they are
// checked (authenticate). Until then at most preAuthBytes are kept; a refused post keeps
// nothing and stops being read at once (the connection is closed after the reply).
class StreamedPost {
 public:
  struct Limits {
    std::size_t preAuthBytes = 64 * 1024;
    std::size_t maxFields = 16;
  };
  // Returns "" when the post may go on, else the reply.
  using Authenticate = std::function<std::string(const std::string& passkey, const std::string& hash)>;

  StreamedPost(Limits limits, Authenticate authenticate);

  // The fields of a form, in order: Begin a field, Append its (decoded) bytes, and so on.
  // False: stop reading the body (the reply is refusal()).
  bool BeginField(std::string name);
  bool Append(std::string_view bytes);
  // The body has ended; false when the post is refused.
  bool Finish();

  bool authenticated() const { return authenticated_; }
  const std::string& refusal() const { return refusal_; }
  std::vector<FormField>& fields() { return fields_; }

 private:
  bool Refuse(std::string reply);
  void CheckAuthentication();

  Limits limits_;
  Authenticate authenticate_;
  std::vector<FormField> fields_;
  std::size_t kept_ = 0;
  bool authenticated_ = false;
  std::string refusal_;
};

// An application/x-www-form-urlencoded body fed in pieces of any size, passed on to a
// StreamedPost field by field; the same decoding as ParseUrlEncodedForm.
class UrlEncodedStream {
 public:
  explicit UrlEncodedStream(StreamedPost& post) : post_(post) {}
  // False: stop reading (malformed, or the post stopped).
  bool Feed(std::string_view bytes);
  bool End();
  bool malformed() const { return malformed_; }

 private:
  StreamedPost& post_;
  bool inValue_ = false;
  std::string name_;
  std::string carry_;  // an escape cut in two by the pieces
  bool malformed_ = false;
};

}  // namespace pq::site
