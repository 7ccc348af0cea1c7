#include "publishing/problems.h"

#include "text/text_util.h"
#include "pageprep/url_ops.h"

namespace pq {

namespace {

// The host as typed: the site root without its scheme, case kept.
std::string TypedHost(std::string_view origUrl) {
  std::string root = SiteRootOf(origUrl);
  const auto scheme = root.find("://");
  return scheme == std::string::npos ? std::string() : root.substr(scheme + 3);
}

}  // namespace

void Problems::SetUp(const SiteStatus& status, std::string_view origUrl) {
  OKtoPublish = true;
  NumMessages = 0;
  host = TypedHost(origUrl);
  siteProblem_ = status.Problem;
  notices_.clear();
  int y = kGap;
  auto show = [&](ProblemNotice notice, bool blocks) {
    notices_.push_back({notice, y});
    y += kNoticeHeight + kGap;
    ++NumMessages;
    if (blocks) OKtoPublish = false;
  };
  if (status.Status == PageStatus::NotEditable) show(ProblemNotice::PageUnsuitable, true);
  if (!status.SiteReady) show(ProblemNotice::NotSetUp, true);
  // A partly editable page only gets a word when something else already stops it.
  if (status.Status == PageStatus::Part && !OKtoPublish) show(ProblemNotice::PartUnsuitable, false);
  okButtonTop_ = y + kGap;
}

ProblemNoticeText Problems::Text(ProblemNotice notice) const {
  // The help page is opened from the message, not named as a path that cannot be clicked.
  const std::string visit =
      " Your website designer may wish to read \"Setting up publishing\" in Pagequill's help "
      "for more information";
  switch (notice) {
    case ProblemNotice::PageUnsuitable:
      return {"Page Unsuitable", "This page is not suitable for publishing to the Internet.",
              "More Info . . .", "Page Unsuitable",
              "Most pages can be published to the Internet, however, some pages are not suitable. "
              "You should speak to your Website designer to see whether your page can be made "
              "suitable for publishing." + visit, helpAddress_};
    case ProblemNotice::NotSetUp:
      if (!siteProblem_.empty())
        return {"Website not trusted",
                "Pagequill did not use the answer of website " + host + ", so nothing can be published there.",
                "Why?", "Website Not Trusted",
                siteProblem_ + "\n\nNothing was sent. Your website designer or host can put this right." + visit,
                helpAddress_};
      return {"Publishing not set up",
              "Website " + host + " has not been set up for publishing. You should speak to your website designer.",
              "More Info", "Website Not Setup",
              "Your website designer needs to set up a password to enable you to publish changes "
              "to your website." + visit, helpAddress_};
    case ProblemNotice::PartUnsuitable:
      return {"Some elements unsuitable",
              "This page is made up of several elements. Some elements are not suitable for publishing.",
              "More Info", "Some pages not suitable",
              "This webpage is made up of several smaller pages. Some of these smaller pages are "
              "not suitable for editing", ""};
  }
  return {};
}

std::string PublishedAddressCaption(std::string_view origUrl) {
  std::string text(origUrl);
  if (StartsWithNoCase(text, "http://")) text.erase(0, 7);
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace pq
