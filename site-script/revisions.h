#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pq::site {

// The earlier versions of one page, kept outside the site as
// "<backup folder>/<page's relative path>.<YYYYMMDD-HHMMSS>[-n]" (the UTC time it was
// replaced, n counting replacements within one second). The id of a revision is that
// suffix; its time is when that version was written, its size in bytes.
struct Revision {
  std::string id;
  std::string time;  // ISO 8601, UTC
  std::uintmax_t size = 0;
  std::filesystem::path file;
};

// Where the revisions of a page are kept: the path every revision's name starts with.
std::filesystem::path RevisionStem(const std::filesystem::path& root,
                                   const std::filesystem::path& page,
                                   const std::filesystem::path& backupDir);

// Newest first. Files that do not look like revisions are left out.
std::vector<Revision> ListRevisions(const std::filesystem::path& stem);

// The revision with this id, or nullopt (also for any id that is not of the revision form).
std::optional<Revision> FindRevision(const std::filesystem::path& stem, const std::string& id);

// Removes all but the newest keep revisions.
void PruneRevisions(const std::filesystem::path& stem, std::size_t keep);

// The n of a revision id "...-n", 1 for an id without it; id must be a revision id.
long RevisionCounter(const std::string& id);

// Whether id has the form of a revision's suffix, "YYYYMMDD-HHMMSS" or "YYYYMMDD-HHMMSS-n".
bool IsRevisionId(const std::string& id);

}  // namespace pq::site
