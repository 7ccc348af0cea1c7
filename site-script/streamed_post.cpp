#include "site-script/streamed_post.h"

namespace pq::site {

StreamedPost::StreamedPost(Limits limits, Authenticate authenticate)
    : limits_(limits), authenticate_(std::move(authenticate)) {}

bool StreamedPost::Refuse(std::string reply) {
  refusal_ = std::move(reply);
  fields_.clear();
  fields_.shrink_to_fit();
  return false;
}

void StreamedPost::CheckAuthentication() {
  if (authenticated_ || !refusal_.empty()) return;
  const std::string* passkey = nullptr;
  const std::string* hash = nullptr;
  for (const auto& f : fields_) {
    if (!passkey && f.name == "passkey") passkey = &f.value;
    if (!hash && f.name == "hash") hash = &f.value;
  }
  if (!passkey || !hash) return;
  std::string reply = authenticate_(*passkey, *hash);
  if (reply.empty()) {
    authenticated_ = true;
  } else {
    Refuse(std::move(reply));
  }
}

bool StreamedPost::BeginField(std::string name) {
  // Every field before this one is complete.
  CheckAuthentication();
  if (!refusal_.empty()) return false;
  if (fields_.size() >= limits_.maxFields) return Refuse("@@Bad request@@");
  if (!authenticated_ && (kept_ += name.size()) > limits_.preAuthBytes) {
    return Refuse("@@Incomplete request - the pass key and hash must come first@@");
  }
  fields_.push_back({std::move(name), ""});
  return true;
}

bool StreamedPost::Append(std::string_view bytes) {
  if (!refusal_.empty()) return false;
  if (fields_.empty()) return Refuse("@@Bad request@@");
  if (!authenticated_ && (kept_ += bytes.size()) > limits_.preAuthBytes) {
    return Refuse("@@Incomplete request - the pass key and hash must come first@@");
  }
  fields_.back().value.append(bytes);
  return true;
}

bool StreamedPost::Finish() {
  CheckAuthentication();
  if (!refusal_.empty()) return false;
  if (!authenticated_) {
    refusal_ = "@@Incomplete request@@";
    return false;
  }
  return true;
}

namespace {
int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool UrlEncodedStream::Feed(std::string_view bytes) {
  std::string value;  // decoded bytes of the current value from this piece
  auto flushValue = [&] {
    if (value.empty()) return true;
    const bool ok = post_.Append(value);
    value.clear();
    return ok;
  };
  auto endPair = [&]() -> bool {
    if (!carry_.empty()) {
      malformed_ = true;
      return false;
    }
    if (!inValue_) {
      // A name without "=": a field with an empty value, unless nothing at all ("&&").
      if (!name_.empty()) {
        auto name = PercentDecode(name_, true);
        if (!name) {
          malformed_ = true;
          return false;
        }
        name_.clear();
        if (!post_.BeginField(std::move(*name))) return false;
      }
      return true;
    }
    inValue_ = false;
    return flushValue();
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (!inValue_) {
      if (c == '&') {
        if (!endPair()) return false;
      } else if (c == '=') {
        auto name = PercentDecode(name_, true);
        if (!name) {
          malformed_ = true;
          return false;
        }
        name_.clear();
        inValue_ = true;
        if (!post_.BeginField(std::move(*name))) return false;
      } else {
        name_ += c;
        if (name_.size() > 1024) {
          malformed_ = true;
          return false;
        }
      }
      continue;
    }
    if (!carry_.empty() || c == '%') {
      carry_ += c;
      if (carry_.size() < 3) continue;
      const int high = Hex(carry_[1]);
      const int low = Hex(carry_[2]);
      if (high < 0 || low < 0) {
        malformed_ = true;
        return false;
      }
      value += static_cast<char>(high * 16 + low);
      carry_.clear();
    } else if (c == '&') {
      if (!endPair()) return false;
    } else {
      value += c == '+' ? ' ' : c;
    }
    if (value.size() >= 64 * 1024 && !flushValue()) return false;
  }
  return flushValue();
}

bool UrlEncodedStream::End() {
  if (!carry_.empty()) {
    malformed_ = true;
    return false;
  }
  if (!inValue_ && !name_.empty()) {
    auto name = PercentDecode(name_, true);
    if (!name) {
      malformed_ = true;
      return false;
    }
    name_.clear();
    if (!post_.BeginField(std::move(*name))) return false;
  }
  return true;
}

}  // namespace pq::site
