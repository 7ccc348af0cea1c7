#pragma once
#include <functional>

#include "core/settings.h"

namespace pq {

// What the user did in a notice: the button (Yes for the link notice, OK for the layout
// notice) and the final state of its "do not show again" box.
struct NoticeReply {
  bool yes = true;
  bool dontShowAgain = true;
  // Closed by the window manager without a button: nothing is stored, and the link change is
  // kept as if Yes had been pressed (the answer the notice starts with).
  bool closedWithoutButton = false;
};

// Shows a notice modally with its box ticked or clear and answers what the user did.
using NoticePrompt = std::function<NoticeReply(bool boxTicked)>;

// 0: the link-change notice is switched off and was not shown; 1: Yes; 2: No.
int AskLinkChange(Settings& settings, const NoticePrompt& showLinkChangeFrm);
// Shows the different-layout notice unless it is switched off.
void ShowLayoutNotice(Settings& settings, const NoticePrompt& showLayoutMsgForm);

// The stored value of a notice's box: "Y" ticked, "N" clear.
void SetRegistry(Settings& settings, const char* key, bool ticked);

}  // namespace pq
