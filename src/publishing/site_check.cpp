#include "publishing/site_check.h"

#include <algorithm>

#include "pageprep/markers.h"
#include "pageprep/page_edit_flag.h"
#include "pageprep/site_origin.h"
#include "text/text_util.h"
#include "pageprep/time_stamp.h"
#include "pageprep/url_ops.h"
#include "publishing/site_replies.h"

namespace pq {

std::string SiteHost(std::string_view pageAddress) {
  const std::string root = SiteRootOf(pageAddress);
  const auto scheme = root.find("://");
  if (scheme == std::string::npos || !OriginOf(root)) return "";
  return AsciiLower(std::string_view(root).substr(scheme + 3));
}

std::string SiteScriptBase(std::string_view pageAddress) {
  const std::string host = SiteHost(pageAddress);
  if (host.empty()) return "";
  return OriginOf(pageAddress)->scheme + "://" + host + "/pagequill/";
}

std::string SiteScriptAddress(std::string_view pageAddress, std::string_view type,
                              std::string_view stamp) {
  const std::string base = SiteScriptBase(pageAddress);
  if (base.empty()) return "";
  return base + "?type=" + std::string(type) + "&now=" + std::string(stamp);
}

std::string SiteScriptAddress(std::string_view pageAddress, std::string_view type) {
  return SiteScriptAddress(pageAddress, type, MakeTimeStamp());
}

bool PageEditAllowed(std::string_view pqedit, bool editableByDefault) {
  return (pqedit == "Y" || editableByDefault) && pqedit != "N";
}

namespace {

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

void CheckSite(SiteStatus& status, const EditDocumentFacts& document, FrameTable& frames,
               const Fetcher& fetch) {
  const std::string origUrl = GetMarker(document.outerHTML, "OrigURL");
  const std::string request = SiteScriptAddress(origUrl, "check");
  const FetchedPage answer = request.empty() ? FetchedPage() : fetch(request);
  const CheckReply reply = ParseCheckReply(answer.text);
  status.Problem = answer.problem;
  status.SiteReady = reply.SiteReady;
  status.LinkTextEditable = reply.LinkTextEditable;
  status.PasswordEmailAllowed = reply.PasswordEmailAllowed;
  status.EditableByDefault = reply.EditableByDefault;

  std::string fullPath = GetMarker(document.outerHTML, "FullPath");
  if (fullPath.empty()) fullPath = AsciiLower(FullPathOf(origUrl, fetch));
  const bool topEditable = PageEditAllowed(PageEditFlag(document.outerHTML), status.EditableByDefault) &&
                           (EndsWith(fullPath, ".htm") || EndsWith(fullPath, ".html"));
  status.TopPageEditable = topEditable;
  PageStatus result = topEditable ? PageStatus::Editable : PageStatus::NotEditable;
  if (document.frameCount > 0) {
    bool notAllEditable = result == PageStatus::NotEditable;
    const int last = std::min(frames.Counter, FrameTable::kSize);
    for (int i = 1; i < last; ++i) {
      FrameEntry& entry = frames[i];
      if (entry.HasFrames) continue;
      if (!PageEditAllowed(PageEditFlag(entry.EditHTML()), status.EditableByDefault)) entry.Editable = false;
      if (entry.Editable)
        result = PageStatus::Editable;
      else
        notAllEditable = true;
    }
    if (result == PageStatus::Editable && notAllEditable) result = PageStatus::Part;
  }
  status.Status = result;
}

}  // namespace pq
