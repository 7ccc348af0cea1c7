#include "site-script/site_options.h"

#include <dirent.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pq::site {

namespace fs = std::filesystem;

namespace {

bool ParseInt(const std::string& text, long long low, long long high, long long& out) {
  long long value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return false;
  if (value < low || value > high) return false;
  out = value;
  return true;
}

bool ValidFlags(const std::string& flags) {
  if (flags.size() != 3) return false;
  for (char c : flags) {
    if (c != 'Y' && c != 'N' && c != 'y' && c != 'n') return false;
  }
  return true;
}

std::optional<std::string> ReadPasswordFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read the password file " + path;
    return std::nullopt;
  }
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
  auto o = outer.begin();
  auto i = inner.begin();
  for (; o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace

std::string SiteUsage() {
  return R"(Usage: pagequill-site --root DIR [options]

Serves DIR as a static website and answers the Pagequill site script requests
under /pagequill/. The password is read from --password-file or from the
environment variable PAGEQUILL_SITE_PASSWORD, never from the command line.

  --root DIR              the site folder (required)
  --bind ADDR             address to listen on (default 127.0.0.1)
  --port N                port (default 8080; 0 picks a free one)
  --password-file FILE    first line of FILE is the password
  --flags XYZ             Y/N: link texts editable, password may be e-mailed,
                          pages editable by default (default YNY)
  --vendor-check          also answer /check.php with @@ok@@
  --backup-dir DIR        where previous versions are kept (default DIR-backups
                          beside the site folder; never inside it)
  --key-lifetime SECONDS  how long a pass key stays valid (default 600)
  --keys-per-issue N      documents one pass key covers (default 200)
  --max-body BYTES        largest publication accepted (default 16777216)
  --slow-after N          wrong passwords before an address must wait (default 3)
  --lockout-after N       wrong passwords before an address is refused (default 10)
  --lockout-seconds S     how long it is refused (default 900)
  --site-slow-after N     wrong passwords from all addresses together before the
                          site waits after each one (default 20)
  --site-max-delay S      the longest such wait (default 60)
  --revisions N           earlier versions kept of each page (default 20)
  --body-memory BYTES     publications held in memory at once, in total
                          (default 67108864; at least --max-body)
  --mail-command CMD      e-mail the password: CMD (run by /bin/sh) gets the
                          message on standard input
  --mail-file FILE        or append the message to FILE
  --mail-interval S       at least S seconds between two mails (default 60)
  --help                  this text
  --version               the version, then exit

The first line on standard output is "listening on http://ADDR:PORT/".
)";
}

ParsedOptions ParseSiteOptions(const std::vector<std::string>& args, const EnvLookup& env) {
  ParsedOptions result;
  SiteOptions o;
  std::string passwordFile;
  bool havePasswordFile = false;
  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    if (a == "--version") {
      o.version = true;
      continue;
    }
    if (a == "--vendor-check") {
      o.vendorCheck = true;
      continue;
    }
    if (a == "--password") {
      return fail("--password is not accepted: a command line can be read by other users; "
                  "use --password-file or PAGEQUILL_SITE_PASSWORD");
    }
    static const char* const kValued[] = {
        "--root", "--bind", "--port", "--password-file", "--flags", "--backup-dir",
        "--key-lifetime", "--keys-per-issue", "--max-body", "--slow-after", "--lockout-after",
        "--lockout-seconds", "--mail-command", "--mail-file", "--mail-interval",
        "--site-slow-after", "--site-max-delay", "--revisions", "--body-memory"};
    bool known = false;
    for (const char* name : kValued) known = known || a == name;
    if (!known) return fail("unknown option " + a);
    if (i + 1 >= args.size()) return fail(a + " needs a value");
    const std::string& v = args[++i];
    long long n = 0;
    if (a == "--root") {
      o.root = v;
    } else if (a == "--bind") {
      if (v.empty()) return fail("--bind needs an address");
      o.bind = v;
    } else if (a == "--port") {
      if (!ParseInt(v, 0, 65535, n)) return fail("--port must be a number from 0 to 65535");
      o.port = static_cast<int>(n);
    } else if (a == "--password-file") {
      passwordFile = v;
      havePasswordFile = true;
    } else if (a == "--flags") {
      if (!ValidFlags(v)) return fail("--flags must be three letters Y or N, such as YNY");
      o.flags = v;
      for (char& c : o.flags) c = static_cast<char>(c & ~0x20);  // upper case
    } else if (a == "--backup-dir") {
      o.backupDir = v;
    } else if (a == "--key-lifetime") {
      if (!ParseInt(v, 1, 86400, n)) return fail("--key-lifetime must be 1 to 86400 seconds");
      o.keyLifetimeSeconds = static_cast<int>(n);
    } else if (a == "--keys-per-issue") {
      if (!ParseInt(v, 1, 1000, n)) return fail("--keys-per-issue must be 1 to 1000");
      o.keysPerIssue = static_cast<int>(n);
    } else if (a == "--max-body") {
      if (!ParseInt(v, 1024, 1LL << 32, n)) return fail("--max-body must be 1024 to 4294967296 bytes");
      o.maxBodyBytes = static_cast<std::size_t>(n);
    } else if (a == "--slow-after") {
      if (!ParseInt(v, 1, 1000000, n)) return fail("--slow-after must be a positive number");
      o.slowAfter = static_cast<int>(n);
    } else if (a == "--lockout-after") {
      if (!ParseInt(v, 1, 1000000, n)) return fail("--lockout-after must be a positive number");
      o.lockoutAfter = static_cast<int>(n);
    } else if (a == "--lockout-seconds") {
      if (!ParseInt(v, 1, 86400 * 7, n)) return fail("--lockout-seconds must be 1 to 604800");
      o.lockoutSeconds = static_cast<int>(n);
    } else if (a == "--site-slow-after") {
      if (!ParseInt(v, 1, 1000000, n)) return fail("--site-slow-after must be a positive number");
      o.siteSlowAfter = static_cast<int>(n);
    } else if (a == "--site-max-delay") {
      if (!ParseInt(v, 1, 86400, n)) return fail("--site-max-delay must be 1 to 86400 seconds");
      o.siteMaxDelaySeconds = static_cast<int>(n);
    } else if (a == "--revisions") {
      if (!ParseInt(v, 1, 1000, n)) return fail("--revisions must be 1 to 1000");
      o.revisions = static_cast<int>(n);
    } else if (a == "--body-memory") {
      if (!ParseInt(v, 1024, 1LL << 36, n)) return fail("--body-memory must be 1024 to 68719476736 bytes");
      o.bodyMemoryBytes = static_cast<std::size_t>(n);
    } else if (a == "--mail-command") {
      o.mailCommand = v;
    } else if (a == "--mail-file") {
      o.mailFile = v;
    } else if (a == "--mail-interval") {
      if (!ParseInt(v, 0, 86400, n)) return fail("--mail-interval must be 0 to 86400 seconds");
      o.mailIntervalSeconds = static_cast<int>(n);
    }
  }
  if (o.help || o.version) {
    result.options = std::move(o);
    return result;
  }
  if (o.root.empty()) return fail("--root DIR is required");
  if (havePasswordFile) {
    auto password = ReadPasswordFile(passwordFile, result.error);
    if (!password) return result;
    o.password = *password;
    o.passwordFile = passwordFile;
  } else if (auto fromEnv = env("PAGEQUILL_SITE_PASSWORD")) {
    o.password = *fromEnv;
  }
  // One publication of the largest size always fits.
  o.bodyMemoryBytes = std::max(o.bodyMemoryBytes, o.maxBodyBytes);
  if (o.password.empty()) {
    return fail("no password: give --password-file FILE or set PAGEQUILL_SITE_PASSWORD");
  }
  result.options = std::move(o);
  return result;
}

std::string ValidateSiteOptions(SiteOptions& o) {
  std::error_code ec;
  const fs::path root = fs::canonical(o.root, ec);
  if (ec) return "the site folder " + o.root + " does not exist";
  if (!fs::is_directory(root, ec)) return o.root + " is not a folder";
  if (DIR* d = opendir(root.c_str())) {
    closedir(d);
  } else {
    return "the site folder " + o.root + " cannot be read";
  }
  if (o.backupDir.empty()) o.backupDir = root.string() + "-backups";
  if (IsInside(fs::weakly_canonical(fs::absolute(o.backupDir, ec), ec), root)) {
    return "the backup folder must lie outside the site folder, or anyone could read old pages";
  }
  fs::create_directories(o.backupDir, ec);
  const fs::path backup = fs::canonical(o.backupDir, ec);
  if (ec) return "the backup folder " + o.backupDir + " cannot be created";
  if (IsInside(backup, root)) {
    return "the backup folder must lie outside the site folder, or anyone could read old pages";
  }
  for (const std::string* secret : {&o.passwordFile, &o.mailFile}) {
    if (secret->empty()) continue;
    const fs::path p = fs::weakly_canonical(*secret, ec);
    if (!ec && IsInside(p, root)) {
      return "the file " + *secret + " must lie outside the site folder, or anyone could read it";
    }
  }
  o.root = root.string();
  o.backupDir = backup.string();
  return "";
}

}  // namespace pq::site
