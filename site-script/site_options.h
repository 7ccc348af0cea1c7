#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pq::site {

// Everything the server is told on its command line and in its environment.
struct SiteOptions {
  std::string root;               // the site folder
  std::string bind = "127.0.0.1";
  int port = 8080;                // 0: any free port
  std::string password;           // from --password-file or PAGEQUILL_SITE_PASSWORD
  std::string passwordFile;       // where it came from, if from a file
  std::string flags = "YNY";      // link texts editable, password may be e-mailed, editable by default
  bool vendorCheck = false;       // also answer /check.php
  std::string backupDir;          // empty: "<root>-backups" beside the site folder
  int keyLifetimeSeconds = 600;   // how long the keys of one pass key stay valid
  int keysPerIssue = 200;         // how many documents one pass key covers
  std::size_t maxBodyBytes = 16u * 1024 * 1024;
  int slowAfter = 3;              // wrong passwords from one address before it must wait
  int lockoutAfter = 10;          // wrong passwords before it is refused for a while
  int lockoutSeconds = 900;
  int siteSlowAfter = 20;         // wrong passwords from all addresses before the site waits
  int siteMaxDelaySeconds = 60;   // the longest the site waits after one
  int revisions = 20;             // earlier versions kept of each page
  std::size_t bodyMemoryBytes = 64u * 1024 * 1024;  // publications held in memory at once
  std::string mailCommand;        // run with the message on standard input
  std::string mailFile;           // or: the message is appended to this file
  int mailIntervalSeconds = 60;   // at most one password mail per interval
  bool help = false;
  bool version = false;
};

struct ParsedOptions {
  std::optional<SiteOptions> options;  // empty on error
  std::string error;                   // the message for the user
};

// getenv stand-in, so tests can parse without touching the process environment.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

ParsedOptions ParseSiteOptions(const std::vector<std::string>& args, const EnvLookup& env);

// Checks what can only be checked on the machine: the site folder is a readable folder,
// the backup folder and password file lie outside it. Fills backupDir when empty.
std::string ValidateSiteOptions(SiteOptions& options);

std::string SiteUsage();

}  // namespace pq::site
