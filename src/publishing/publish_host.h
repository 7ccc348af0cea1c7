#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "pageprep/edit_copy.h"
#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"
#include "pageprep/live_documents.h"
#include "publishing/publish_flow.h"

namespace pq {

// What the Password, Publish and Preview forms need of the rest of the program. The main
// window provides it from the browse pane, the edit pane and the site check.
class PublishHost {
 public:
  virtual ~PublishHost() = default;
  // The browse pane's record of the page and its frame table.
  virtual const PageRecord& Record() = 0;
  virtual FrameTable& Frames() = 0;
  // The documents in the edit pane.
  virtual LiveDocuments& Live() = 0;
  // The OrigURL marker of the edit pane's document.
  virtual std::string CurrentOrigURL() = 0;
  // From the last site check.
  virtual bool PasswordEmailAllowed() = 0;
  virtual Settings& UserSettings() = 0;
  // A cache-bypassing GET (engine::FetchPageUnlessStopped in the program), abandoned as failed
  // as soon as `stop` says true (empty: it runs to its own deadline).
  virtual FetchedPage Fetch(const std::string& url, const std::function<bool()>& stop) = 0;
  // Reloads the browse pane and calls `reloaded` once the reload has finished downloading.
  virtual void RefreshBrowsePane(std::function<void()> reloaded) = 0;
  // Drops what the web views keep of a published address.
  virtual void DropCachedCopies(const std::string& /*url*/) {}
  // What was published of the page in the edit pane since it was loaded; nullptr: not kept.
  virtual EarlierPublications* Earlier() { return nullptr; }
  // The page was changed on the website: reloads it and puts the user's edits back where their
  // text is unchanged there; what cannot be put back is listed and left on the clipboard.
  virtual void ReloadKeepingEdits() {}
  // After a successful publication: the publish-complete dialog.
  virtual void PublishComplete(const std::vector<std::string>& storedFiles) = 0;
};

}  // namespace pq
