#include "support/test_authority.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "support/child_process.h"

namespace pqtest {

namespace {

bool Openssl(std::vector<std::string> args) {
  args.insert(args.begin(), "openssl");
  return RunCommand(args, "", std::chrono::seconds(30)).exitCode == 0;
}

std::string Serial() {
  std::random_device random;
  return std::to_string(1 + random() % 1000000000);
}

}  // namespace

TestAuthority::TestAuthority(const std::string& name) {
  std::string tmpl = "/tmp/pq-authority-XXXXXX";
  if (!mkdtemp(tmpl.data())) return;
  dir_ = tmpl;
  const std::string ca = dir_ + "/authority.pem";
  caKey_ = dir_ + "/authority.key";
  if (Openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout",
               caKey_, "-out", ca, "-days", "2", "-subj", "/CN=" + name, "-set_serial", Serial(), "-addext",
               "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"}))
    caFile_ = ca;
}

TestAuthority::~TestAuthority() {
  std::error_code ec;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

TestAuthority::Issued TestAuthority::Issue(const std::vector<std::string>& altNames) {
  if (!ok() || altNames.empty()) return {};
  const std::string base = dir_ + "/server" + std::to_string(++issued_);
  std::string names;
  for (const auto& n : altNames) names += (names.empty() ? "" : ",") + n;
  {
    std::ofstream ext(base + ".ext");
    ext << "basicConstraints=critical,CA:FALSE\n"
           "keyUsage=critical,digitalSignature,keyEncipherment\n"
           "extendedKeyUsage=serverAuth\n"
           "subjectAltName=" << names << "\n";
  }
  const std::string cn = altNames.front().substr(altNames.front().find(':') + 1);
  if (!Openssl({"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout", base + ".key",
                "-out", base + ".csr", "-subj", "/CN=" + cn}) ||
      !Openssl({"x509", "-req", "-in", base + ".csr", "-CA", caFile_, "-CAkey", caKey_, "-set_serial", Serial(),
                "-out", base + ".pem", "-days", "1", "-extfile", base + ".ext"}))
    return {};
  return {base + ".pem", base + ".key"};
}

}  // namespace pqtest
