#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace pq::site {

// Replaces a page with new bytes so that a reader sees either the old or the new page,
// never half of one: the bytes go to a temporary file beside it, are flushed to disk,
// and the temporary file is renamed over the page. The previous version, if any, is
// first copied to backupDir under the page's relative path with a UTC date and time
// appended ("news/latest.htm.20240131-235959"), as one of its last keepRevisions
// revisions (see revisions.h). Returns "" or a message for the user.
std::string WritePage(const std::filesystem::path& root, const std::filesystem::path& target,
                      std::string_view bytes, const std::filesystem::path& backupDir,
                      std::size_t keepRevisions = 20);

// The temporary file of a write is "." + the page's name + kTempMark + six random characters.
inline constexpr const char* kTempMark = ".pq-";

// Removes temporary files left in the site folder by a server killed in the middle of a
// write (before its rename); returns how many were removed.
int RemoveLeftoverTempFiles(const std::filesystem::path& root);

}  // namespace pq::site
