#include "engine/web_view.h"

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

}  // namespace

std::string ErrorPageHTML(const std::string& url, const std::string& reason) {
  return "<html><head><title>The page cannot be displayed</title>"
         "<style>body{font-family:sans-serif;margin:2em;color:#333}h1{font-size:1.4em}"
         "code{word-break:break-all}</style></head><body>"
         "<h1>The page cannot be displayed</h1>"
         "<p>The page <code>" + Escape(url) + "</code> could not be reached.</p>"
         "<p>" + Escape(reason) + "</p>"
         "<p>Check the address, and that the computer is connected to the network.</p>"
         "</body></html>";
}

}  // namespace pq::engine
