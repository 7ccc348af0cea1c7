#include "engine/error_page.h"

#include "text/text_util.h"

namespace pq::engine {

namespace {

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string AdviceHTML(const std::string& url, ErrorAdvice advice) {
  switch (advice) {
    case ErrorAdvice::CheckAddress:
      return "<p>Check the address.</p>";
    case ErrorAdvice::Reload:
      // Only an address that loads a page again may stand in the link.
      if (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://") || StartsWithNoCase(url, "file:"))
        return "<p><a id=\"reload\" href=\"" + Escape(url) + "\">Reload the page</a></p>";
      return "<p>Reload the page.</p>";
    case ErrorAdvice::Certificate:
      return "<p>Pagequill shows and edits no page whose certificate it cannot trust. If this is your "
             "website, ask its designer or host to put the certificate right.</p>";
    case ErrorAdvice::CheckNetwork:
      break;
  }
  return "<p>Check the address, and that the computer is connected to the network.</p>";
}

}  // namespace

std::string ErrorPageHTML(const std::string& url, const std::string& reason, ErrorAdvice advice) {
  const std::string what = advice == ErrorAdvice::Reload        ? "could not be shown"
                           : advice == ErrorAdvice::Certificate ? "was not shown"
                                                                : "could not be reached";
  return "<html><head><title>The page cannot be displayed</title>"
         "<style>body{font-family:sans-serif;margin:2em;color:#333}h1{font-size:1.4em}"
         "code{word-break:break-all}</style></head><body>"
         "<h1>The page cannot be displayed</h1>"
         "<p>The page <code>" + Escape(url) + "</code> " + what + ".</p>"
         "<p>" + Escape(reason) + "</p>" +
         AdviceHTML(url, advice) +
         "</body></html>";
}

}  // namespace pq::engine
