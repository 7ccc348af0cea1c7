#include "shell/browse_control.h"

#include "core/browser_commands.h"
#include "text/page_decoding.h"
#include "pageprep/prepared_page.h"
#include "pageprep/temp_files.h"
#include "pageprep/url_ops.h"
#include "text/text_util.h"
#include "shell/typed_address.h"

namespace pq {

BrowseControl::BrowseControl(BrowsePaneBrowser& browser, StatusBar& status, WindowState& window,
                             FrameTable& frames, Fetcher fetch)
    : browser_(browser), status_(status), window_(window), frames_(frames), fetch_(std::move(fetch)) {}

namespace {
// A scheme with an empty host: the engine would read the first path segment as the host.
bool HasEmptyHost(const std::string& url) { return url.find("http:///") != std::string::npos; }

// The set the engine must be told to read a page in: UTF-16 without a byte-order mark, which it
// cannot recognise. "" for every other page (UTF-32 it cannot read at all).
std::string EngineCharsetFor(std::string_view bytes) {
  if (!CharsetFromByteOrderMark(bytes).empty()) return "";
  const std::string wide = WideCharsetOf(bytes);
  return wide == "utf-16le" || wide == "utf-16be" ? AsciiUpper(wide) : "";
}
}  // namespace

void BrowseControl::Navigate(const std::string& typed) {
  // Blanks around an address would end up in its host name.
  const std::string address = TrimBlanks(typed);
  if (address.empty() || HasEmptyHost(address)) return;
  browser_.Navigate(address);
}

void BrowseControl::SetStatusText(const std::string& statusText, int percentage, int maxPerc) {
  if (window_.PublishShowing) return;
  status_.SetText(statusText, percentage, maxPerc);
}

void BrowseControl::GoHome() {
  stopped_ = false;
  browser_.GoHome();
}
void BrowseControl::GoBack() {
  stopped_ = false;
  browser_.GoBack();
}
void BrowseControl::GoForward() {
  stopped_ = false;
  browser_.GoForward();
}
void BrowseControl::refresh() { browser_.Refresh(); }

void BrowseControl::StopBrowser() {
  browser_.Stop();
  stopped_ = true;
  // The stopped page never completes, so the next page's address must reach the address box.
  addressShown_ = false;
}

void BrowseControl::ShowAddress(const std::string& url) {
  if (addressShown_) return;
  addressShown_ = true;
  if (UpdateAddressBar) UpdateAddressBar(url);
}

void BrowseControl::OnBeforeNavigate(const std::string& url, bool topLevel, bool& cancel) {
  if (HasEmptyHost(url)) {
    cancel = true;
    return;
  }
  // The page coming again to be read in its character set is no new page to leave for.
  if (topLevel && url != charsetReload_ && MayLeavePage && !MayLeavePage()) {
    cancel = true;
    return;
  }
  if (topLevel) {
    ShowAddress(url);
    ++navigation_;
  }
  askedToLeave_ = topLevel;
  stopped_ = false;
  Record.busy = true;
  SetStatusText("Loading page", 10, 50);
  if (StartedNavigation) StartedNavigation();
}

void BrowseControl::OnTopNavigationStarted(const std::string& url) {
  // The engine's own word that the main document navigates: a link of a frameset page that
  // loads the whole window may have looked like a frame's navigation before it started.
  ++navigation_;
  ShowAddress(url);
}

constexpr std::size_t kEarlyCopyMinBytes = 128 * 1024;

// Where the source is known as soon as the page's answer arrives, the edit copy is written and
// loaded while the browse pane still loads the page: a large page is loaded by both panes at once.
// The preparation on completion then takes the answers fetched here rather than fetching again.
void BrowseControl::OnTopCommitted(const std::string& url) {
  const unsigned navigation = navigation_;
  if (earlyFor_ == navigation || preparedFor_ == navigation) return;
  earlyFor_ = navigation;
  const bool asked = askedToLeave_;
  askedToLeave_ = false;
  const bool web = !SiteRootOf(url).empty();
  if (!asked || !web || !EarlyEditCopy || window_.PublishShowing || stopped_) return;
  std::map<std::string, FetchedPage> fetched;
  const Fetcher keeping = [&](const std::string& u) {
    FetchedPage page = fetch_(u);
    fetched[u] = page;
    return page;
  };
  FetchedPage source = keeping(url);
  const auto overtaken = [&] {
    return navigation_ != navigation || preparedFor_ == navigation || stopped_ || window_.PublishShowing ||
           !browser_.Busy();
  };
  if (overtaken() || !NotEditableReason(source).empty() || TrimWhitespace(source.text).empty()) return;
  const auto keep = [&] {
    keptFor_ = navigation;
    kept_ = std::move(fetched);
  };
  // A small page loads in a moment once the browse pane has it; loaded early, it would only
  // compete with the browse pane for the site's answers (its pictures) rather than take them
  // from the cache. Its source still serves the completion.
  if (source.bytes.size() < kEarlyCopyMinBytes) {
    keep();
    return;
  }
  const PreparedPage page = PreparePage(std::move(source), url, FullPathOf(url, keeping));
  if (overtaken()) return;
  keep();
  if (!WriteEditCopy(TempFolder() + kEditCopyName, url, page.edit.html)) return;
  EarlyEditCopy();
}

FetchedPage BrowseControl::FetchKept(const std::string& url) {
  if (keptFor_ == navigation_) {
    auto it = kept_.find(url);
    if (it != kept_.end()) {
      FetchedPage page = std::move(it->second);
      kept_.erase(it);
      return page;
    }
  }
  return fetch_(url);
}

void BrowseControl::OnCommandStateChange(int command, bool enabled) {
  if (command == kCommandForward && ForwardEnable) ForwardEnable(enabled);
  if (command == kCommandBack && BackEnable) BackEnable(enabled);
}

void BrowseControl::OnNewWindow(bool& cancel) { cancel = true; }

void BrowseControl::OnDownloadComplete() {
  if (window_.PublishState == "publishing") window_.PublishState = "";
}

void BrowseControl::OnDocumentComplete(bool topLevel) {
  if (window_.PublishShowing || stopped_) return;
  const std::string location = browser_.LocationURL();
  if (location.empty()) return;
  // A frame that finished on its own (the page itself stays) changes what the page shows, so
  // the whole page is prepared again; frames finishing while the page loads are left to the
  // page's own completion, which comes after theirs.
  if (!topLevel && (location != Record.WebURL || browser_.Busy())) return;
  auto document = browser_.TopDocument();
  if (!document) return;

  const unsigned navigation = navigation_;
  if (topLevel) preparedFor_ = navigation;
  EditCopyProgress progress;
  progress.Starting = [this] {
    window_.EditTabPreparing = true;
    if (ButtonsDisable) ButtonsDisable();
    SetStatusText("Preparing edit tab", 50, 65);
  };
  progress.SourceMarked = [this] { SetStatusText("Preparing edit tab", 70, 95); };
  progress.NotEditable = [this](const std::string& why) { notEditable_ = why; };
  progress.Abandoned = [this, navigation] { return stopped_ || navigation_ != navigation; };

  const Fetcher fetch = [this](const std::string& url) { return FetchKept(url); };
  const EditCopyOutcome outcome = PrepareEditCopy(document, Record, frames_, window_.StartPageUrl, fetch, progress);
  kept_.clear();
  switch (outcome) {
    case EditCopyOutcome::PageCantBeDisplayed:
      addressShown_ = false;
      if (PageCantBeDisplayed) PageCantBeDisplayed();
      break;
    case EditCopyOutcome::Prepared:
      addressShown_ = false;
      if (ReloadInItsCharset()) break;  // the page comes again, readable, and is prepared then
      if (NavigationComplete) NavigationComplete();
      break;
    case EditCopyOutcome::NotWritten:
      // No edit copy to load: the page ends as one that cannot be displayed, so the Edit tab
      // stays disabled and the navigation buttons work again.
      window_.EditTabPreparing = false;
      addressShown_ = false;
      if (ButtonsEnable) ButtonsEnable();
      if (PageCantBeDisplayed) PageCantBeDisplayed();
      SetStatusText("This page cannot be edited: Pagequill could not write its copy in any "
                    "temporary folder (tried " + TempFoldersTried() + ")", 100, 100);
      break;
    case EditCopyOutcome::NotOnWebsite:
      // The browse pane shows the server's error page; the Edit tab stays grey, and the status
      // line has said why.
      window_.EditTabPreparing = false;
      addressShown_ = false;
      if (ButtonsEnable) ButtonsEnable();
      SetStatusText(notEditable_, 100, 100);
      break;
    case EditCopyOutcome::Abandoned:
      // Stopped by the user: no edit copy will come, so the navigation buttons work again.
      if (stopped_) window_.EditTabPreparing = false;
      break;
    case EditCopyOutcome::Ignored:
      break;
  }
}

// A page in UTF-16 without a byte-order mark is shown as garbage by the engine: it is loaded
// again, read as its bytes show. Once for each time the page is prepared, whatever the engine
// makes of it, so that it can never load the page over and over.
bool BrowseControl::ReloadInItsCharset() {
  const std::string wanted = EngineCharsetFor(Record.page.source.bytes);
  const bool again = charsetReload_ == Record.WebURL;
  charsetReload_.clear();
  if (wanted.empty() || again || AsciiUpper(browser_.DocumentCharset()) == wanted) return false;
  charsetReload_ = Record.WebURL;
  // Like any navigation: nothing is being prepared until the page comes again.
  window_.EditTabPreparing = false;
  if (ButtonsEnable) ButtonsEnable();
  browser_.ReloadReadingUndeclaredAs(wanted);
  return true;
}

}  // namespace pq
