#include "shell/tab_headers.h"

namespace pq {

namespace {
std::string Picture(TabHeader h, const char* look) { return std::string(TabName(h)) + look; }
TabHeader Other(TabHeader h) {
  return h == TabHeader::ImgBrowse ? TabHeader::ImgEdit : TabHeader::ImgBrowse;
}
}  // namespace

TabHeaders::TabHeaders(WindowState& window) : window_(window) { Reset(); }

void TabHeaders::Reset() {
  hover_.reset();
  lastUnderMouse_.reset();
  // The selected header stands kTabRaise pixels higher than the other and in front of it.
  const TabHeader current = window_.CurrentTab;
  At(current) = {Picture(current, "Norm"), true, true, true};
  At(Other(current)) = {Picture(Other(current), "Unselect"), false, true, false};
}

bool TabHeaders::SelectTab(TabHeader header) {
  if (header == window_.CurrentTab) return false;
  if (!Look(header).enabled) return false;  // a disabled header takes no mouse input
  const TabHeader old = window_.CurrentTab;
  HeaderLook& from = At(old);
  HeaderLook& to = At(header);
  from.picture = Picture(old, "Unselect");
  from.raised = false;
  from.front = false;
  to.raised = true;
  to.front = true;
  to.picture = Picture(header, "Norm");
  window_.CurrentTab = header;
  if (hover_ == header) hover_.reset();
  return true;
}

void TabHeaders::DisableTab(TabHeader header) {
  HeaderLook& look = At(header);
  look.enabled = false;
  look.picture = Picture(header, "Disabled");
  if (hover_ == header) hover_.reset();
}

void TabHeaders::EnableTab(TabHeader header) {
  HeaderLook& look = At(header);
  // The selected header keeps its selected picture (the page may be reloaded while it shows).
  look.picture = Picture(header, header == window_.CurrentTab ? "Norm" : "Unselect");
  look.enabled = true;
}

void TabHeaders::HeaderMouseMove(TabHeader header, int x, int y, int w, int h) {
  if (lastUnderMouse_ == header) {
    if (header == window_.CurrentTab || !Look(header).enabled) return;
    const bool inside = x >= 0 && x <= w && y >= 0 && y <= h;
    if (inside) {
      At(header).picture = Picture(header, "Norm");
      hover_ = header;
    } else {
      RemoveHover();
    }
    return;
  }
  RemoveHover();
  lastUnderMouse_ = header;
}

void TabHeaders::OtherMouseMove() {
  RemoveHover();
  lastUnderMouse_.reset();
}

void TabHeaders::RemoveHover() {
  // A header disabled while the pointer was over it keeps its disabled picture.
  if (lastUnderMouse_ && *lastUnderMouse_ != window_.CurrentTab && Look(*lastUnderMouse_).enabled)
    At(*lastUnderMouse_).picture = Picture(*lastUnderMouse_, "Unselect");
  hover_.reset();
}

}  // namespace pq
