#pragma once
#include <string>
#include <vector>

namespace pqtest {

// A throwaway certificate authority made at run time with the openssl command, in a private
// folder removed with it. Nothing is added to the system's trust store: a program trusts it only
// when told through PAGEQUILL_EXTRA_CA=caFile().
class TestAuthority {
 public:
  struct Issued {
    std::string cert;  // PEM files
    std::string key;
  };
  explicit TestAuthority(const std::string& name = "Pagequill Test Authority");
  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;
  ~TestAuthority();

  bool ok() const { return !caFile_.empty(); }
  // The authority's certificate (PEM).
  const std::string& caFile() const { return caFile_; }
  // A server certificate for the given names ("IP:127.0.0.1", "DNS:localhost"), valid for a
  // day; empty files on failure.
  Issued Issue(const std::vector<std::string>& altNames);
  // For 127.0.0.1 and localhost.
  Issued IssueForThisMachine() { return Issue({"IP:127.0.0.1", "DNS:localhost"}); }

 private:
  std::string dir_;
  std::string caFile_;
  std::string caKey_;
  int issued_ = 0;
};

}  // namespace pqtest
