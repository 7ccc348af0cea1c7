#include "shell/notices.h"

namespace pq {

namespace {
constexpr const char* kSection = "HideMsg";
constexpr const char* kLinkAmend = "LinkAmend";
constexpr const char* kDifferentLayout = "DifferentLayout";
}  // namespace

void SetRegistry(Settings& settings, const char* key, bool ticked) {
  settings.SaveSetting(kSection, key, ticked ? "Y" : "N");
}

int AskLinkChange(Settings& settings, const NoticePrompt& showLinkChangeFrm) {
  const std::string value = settings.GetSetting(kSection, kLinkAmend, "");
  if (value == "Y") return 0;
  // The box is offered ticked until the user has once cleared it.
  const NoticeReply reply = showLinkChangeFrm(value != "N");
  if (reply.closedWithoutButton) return 1;
  SetRegistry(settings, kLinkAmend, reply.dontShowAgain);
  return reply.yes ? 1 : 2;
}

void ShowLayoutNotice(Settings& settings, const NoticePrompt& showLayoutMsgForm) {
  const std::string value = settings.GetSetting(kSection, kDifferentLayout, "");
  if (value == "Y") return;
  const NoticeReply reply = showLayoutMsgForm(value != "N");
  if (reply.closedWithoutButton) return;
  SetRegistry(settings, kDifferentLayout, reply.dontShowAgain);
}

}  // namespace pq
