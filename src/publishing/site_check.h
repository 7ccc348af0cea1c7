#pragma once
#include <string>
#include <string_view>

#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"

namespace pq {

// Whether the changes to a page may be published: "ed", "noned" or "part" (a frameset of which
// only some frames are editable). Unknown before the first check.
enum class PageStatus { Unknown, Editable, NotEditable, Part };

// What the site script said and what follows from it for the page in the edit pane. Overwritten
// by every check.
struct SiteStatus {
  bool SiteReady = false;
  bool LinkTextEditable = false;
  bool PasswordEmailAllowed = false;
  bool EditableByDefault = false;
  PageStatus Status = PageStatus::Unknown;
  bool TopPageEditable = false;
  // Why the site script's answer could not be used (an untrusted certificate, a redirect to
  // another site), one sentence; "" when it could.
  std::string Problem;
};

// The host of a page address in lower case, with its port if written ("127.0.0.1:8080"); ""
// unless it is an http or https address with a usable host.
std::string SiteHost(std::string_view pageAddress);
// The site script of the site of a page, in the page's own scheme: scheme + "://" + host +
// "/pagequill/" (where publications are posted); "" when the page has no web host.
std::string SiteScriptBase(std::string_view pageAddress);
// The address of a site script request for the site of a page, in the page's own scheme:
// scheme + "://" + host + "/pagequill/?type=" + type + "&now=" + stamp; "" when the page has
// no web host, so nothing is asked of anyone.
std::string SiteScriptAddress(std::string_view pageAddress, std::string_view type,
                              std::string_view stamp);
// The same with the current request stamp.
std::string SiteScriptAddress(std::string_view pageAddress, std::string_view type);

// A page (or frame) with this pqedit value ("Y", "N" or "") may be edited.
bool PageEditAllowed(std::string_view pqedit, bool editableByDefault);

// What the check reads of the document in the edit pane.
struct EditDocumentFacts {
  std::string outerHTML;  // of the document element: origin markers and META tags
  int frameCount = 0;
};

// Asks the site script whether the site is set up and works out the page status of the edit
// document. Clears Editable of frame entries (1 to Counter - 1) whose page may not be edited.
void CheckSite(SiteStatus& status, const EditDocumentFacts& document, FrameTable& frames,
               const Fetcher& fetch);

}  // namespace pq
