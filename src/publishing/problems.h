#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "publishing/site_check.h"

namespace pq {

// The reasons a page cannot be published, in the order the Publishing dialog stacks them.
enum class ProblemNotice { PageUnsuitable, NotSetUp, PartUnsuitable };

// What one notice says, and the message behind its "More Info" link.
struct ProblemNoticeText {
  std::string heading;
  std::string text;
  std::string moreInfoLabel;
  std::string moreInfoTitle;
  std::string moreInfoMessage;
  std::string moreInfoHelp;  // the help page the message offers to open ("" for none)
};

// The Publishing dialog's decisions: whether the page may be published and which notices say
// why not, where they stand (pixels from the dialog's top) and where the OK button goes.
class Problems {
 public:
  // Pixel layout of the dialog (60 twips make 4 pixels).
  static constexpr int kGap = 4;
  static constexpr int kNoticeHeight = 96;
  static constexpr int kButtonHeight = 30;
  static constexpr int kSpaceBelowButton = 8;  // 120 twips

  // helpAddress: the designers' page about setting up publishing, named in two messages.
  explicit Problems(std::string helpAddress = "") : helpAddress_(std::move(helpAddress)) {}

  // Decides from the last site check; origUrl is the address of the page in the edit pane.
  void SetUp(const SiteStatus& status, std::string_view origUrl);

  bool OKtoPublish = true;
  int NumMessages = 0;
  std::string host;  // the page's host as typed in its address

  struct Placed {
    ProblemNotice notice;
    int top = 0;
  };
  // The notices shown, top to bottom.
  const std::vector<Placed>& Notices() const { return notices_; }
  int OkButtonTop() const { return okButtonTop_; }
  // The inner height the dialog needs for the notices, the button and the space below it.
  int ContentHeight() const { return okButtonTop_ + kButtonHeight + kSpaceBelowButton; }

  ProblemNoticeText Text(ProblemNotice notice) const;

 private:
  std::string helpAddress_;
  std::vector<Placed> notices_;
  int okButtonTop_ = 0;
};

// The published page's address as the complete dialog shows it: without "http://" and without
// one trailing "/".
std::string PublishedAddressCaption(std::string_view origUrl);

}  // namespace pq
