#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "pageprep/edit_copy.h"
#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"
#include "shell/status_bar.h"
#include "core/window_state.h"

namespace pq {

// What the browse pane asks of its web view.
class BrowsePaneBrowser {
 public:
  virtual ~BrowsePaneBrowser() = default;
  virtual void Navigate(const std::string& url) = 0;
  virtual void GoHome() = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void Refresh() = 0;
  virtual void Stop() = 0;
  virtual std::string LocationURL() const = 0;
  // The main document is still loading.
  virtual bool Busy() const = 0;
  // The displayed page with all its frames, read in one walk; nullptr when it cannot be read.
  virtual std::shared_ptr<const PageDocument> TopDocument() = 0;
  // The character set the displayed page was read in, as the engine names it ("UTF-16LE").
  virtual std::string DocumentCharset() = 0;
  // Loads the page again, reading it in that set where nothing it was served with declares one.
  virtual void ReloadReadingUndeclaredAs(const std::string& charset) = 0;
};

// The pane in which the user browses the live site: turns the browser's events into its own,
// and prepares the edit copy of every page displayed.
class BrowseControl {
 public:
  BrowseControl(BrowsePaneBrowser& browser, StatusBar& status, WindowState& window,
                FrameTable& frames, Fetcher fetch);

  // The page record: what the edit and publishing code read of the page last prepared.
  PageRecord Record;
  const std::shared_ptr<const PageDocument>& HtDoc() const { return Record.HtDoc; }
  const std::string& OriginalHTML() const { return Record.OriginalHTML(); }
  const std::string& EditHTML() const { return Record.EditHTML(); }
  const std::string& WebURL() const { return Record.WebURL; }
  bool busy() const { return Record.busy; }

  // Events, in declaration order.
  std::function<void()> StartedNavigation;
  std::function<void()> NavigationComplete;
  // The edit copy of the page still loading was written already (from its source, fetched as
  // the page arrived), for the edit pane to start loading; NavigationComplete still follows.
  std::function<void()> EarlyEditCopy;
  std::function<void()> PageCantBeDisplayed;
  std::function<void(bool enable)> ForwardEnable;
  std::function<void(bool enable)> BackEnable;
  std::function<void()> ButtonsDisable;
  // Asked before a top-level navigation replaces the page: false keeps the page (the edit
  // pane holds changes the user chose not to lose).
  std::function<bool()> MayLeavePage;
  // The buttons that ButtonsDisable blocked work again: no edit copy will come to free them.
  std::function<void()> ButtonsEnable;
  std::function<void(const std::string& address)> UpdateAddressBar;

  // Operations.
  void Navigate(const std::string& address);
  void SetStatusText(const std::string& statusText, int percentage, int maxPerc);
  void GoHome();
  void GoBack();
  void GoForward();
  void refresh();
  void StopBrowser();

  // The browser's events, forwarded by the widget.
  void OnBeforeNavigate(const std::string& url, bool topLevel, bool& cancel);
  void OnTopNavigationStarted(const std::string& url);
  // The main document's address was committed: its answer is arriving.
  void OnTopCommitted(const std::string& url);
  void OnCommandStateChange(int command, bool enabled);
  void OnNewWindow(bool& cancel);
  void OnDownloadComplete();
  void OnDocumentComplete(bool topLevel);

  bool Stopped() const { return stopped_; }
  bool AddressShown() const { return addressShown_; }

 private:
  void ShowAddress(const std::string& url);
  bool ReloadInItsCharset();
  // fetch_, answering once each the addresses fetched for the early edit copy of this navigation.
  FetchedPage FetchKept(const std::string& url);

  BrowsePaneBrowser& browser_;
  StatusBar& status_;
  WindowState& window_;
  FrameTable& frames_;
  Fetcher fetch_;
  bool stopped_ = false;
  bool addressShown_ = false;
  std::string notEditable_;  // why the last page was not prepared for editing
  std::string charsetReload_;  // the page being loaded again to be read in its own character set
  unsigned navigation_ = 0;  // counts navigations, so a preparation knows when it went stale
  bool askedToLeave_ = false;  // the coming page replaces the last one as the user agreed to
  unsigned earlyFor_ = 0;      // the navigation an early edit copy was tried for
  unsigned preparedFor_ = 0;   // the navigation whose completion was prepared
  unsigned keptFor_ = 0;       // the navigation of the kept answers
  std::map<std::string, FetchedPage> kept_;
};

}  // namespace pq
