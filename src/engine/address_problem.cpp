#include "engine/address_problem.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "text/text_util.h"

namespace pq::engine {

namespace {

// The "bad ports" of the Fetch standard, which the engine follows (and 0, which none connects to).
constexpr std::array<int, 83> kRefusedPorts = {
    0,    1,    7,    9,    11,   13,   15,   17,   19,   20,   21,   22,   23,   25,   37,   42,   43,
    53,   69,   77,   79,   87,   95,   101,  102,  103,  104,  109,  110,  111,  113,  115,  117,  119,
    123,  135,  137,  139,  143,  161,  179,  389,  427,  465,  512,  513,  514,  515,  526,  530,  531,
    532,  540,  548,  554,  556,  563,  587,  601,  636,  989,  990,  993,  995,  1719, 1720, 1723, 2049,
    3659, 4045, 4190, 5060, 5061, 6000, 6566, 6665, 6666, 6667, 6668, 6669, 6679, 6697, 10080};

struct Authority {
  bool web = false;  // http or https
  std::string host;
  std::string port;  // as written, "" when none
};

Authority AuthorityOf(const std::string& url) {
  Authority a;
  std::size_t start = 0;
  if (StartsWithNoCase(url, "http://")) start = 7;
  else if (StartsWithNoCase(url, "https://")) start = 8;
  else return a;
  a.web = true;
  std::size_t end = url.find_first_of("/?#", start);
  if (end == std::string::npos) end = url.size();
  std::string_view authority(url.data() + start, end - start);
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::size_t colon = std::string_view::npos;
  if (!authority.empty() && authority.front() == '[') {  // an IPv6 literal
    const auto close = authority.find(']');
    if (close != std::string_view::npos && close + 1 < authority.size() && authority[close + 1] == ':')
      colon = close + 1;
  } else {
    colon = authority.rfind(':');
  }
  if (colon != std::string_view::npos) {
    a.port = std::string(authority.substr(colon + 1));
    authority = authority.substr(0, colon);
  }
  a.host = std::string(authority);
  return a;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

}  // namespace

bool IsRefusedPort(int port) {
  return std::binary_search(kRefusedPorts.begin(), kRefusedPorts.end(), port);
}

bool IsMalformedWebAddress(const std::string& url) {
  const Authority a = AuthorityOf(url);
  if (!a.web) return false;
  return a.host.empty() || std::any_of(a.host.begin(), a.host.end(), IsBlank) ||
         std::any_of(a.port.begin(), a.port.end(), [](char c) { return c < '0' || c > '9'; });
}

std::string AddressProblem(const std::string& url) {
  const Authority a = AuthorityOf(url);
  if (!a.web) return "";
  if (std::any_of(a.host.begin(), a.host.end(), IsBlank))
    return "The address has a blank in its host name (\"" + a.host + "\"); a web address cannot hold one there.";
  if (a.host.empty()) return "The address has no host name.";
  if (std::any_of(a.port.begin(), a.port.end(), [](char c) { return c < '0' || c > '9'; }))
    return "The port of the address (\"" + a.port + "\") is not a number.";
  if (!a.port.empty() && a.port.size() <= 6) {
    const int port = std::stoi(a.port);
    if (port > 65535) return "The port of the address (" + a.port + ") is out of range.";
    if (IsRefusedPort(port))
      return "The web engine does not connect to port " + std::to_string(port) +
             ", which belongs to another kind of service than web pages.";
  } else if (a.port.size() > 6) {
    return "The port of the address (" + a.port + ") is out of range.";
  }
  return "";
}

bool IsOpenableAddress(const std::string& url) {
  const auto colon = url.find(':');
  if (colon == std::string::npos) return true;
  const std::string scheme = AsciiLower(url.substr(0, colon));
  if (scheme.empty() || scheme.find_first_of("/?#") != std::string::npos) return true;
  return scheme == "http" || scheme == "https" || scheme == "file" || scheme == "about";
}

}  // namespace pq::engine
