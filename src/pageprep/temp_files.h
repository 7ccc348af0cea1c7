#pragma once
#include <optional>
#include <string>

namespace pq {

// The program's private temporary folder ("<TEMP>/pagequill-<uid>/", mode 0700, created on
// demand), ending in "/". TEMP, temp, TMP, tmp are tried in that order, then /tmp; one that
// is missing, not a folder or not writable is passed over.
std::string TempFolder();
// The folders TempFolder tries, in order, for a message when none of them can be written.
std::string TempFoldersTried();
bool FileExists(const std::string& path);
void DeleteFileQuietly(const std::string& path);
// TempFolder() + prefix + n + ".htm" for the smallest n from 1 with no such file.
std::string NumberedFileName(const std::string& prefix);
// Deletes prefix1.htm, prefix2.htm, ... in TempFolder() up to the first number without a file.
void DeleteNumberedFiles(const std::string& prefix);
// Writes an edit or preview copy in UTF-8 (with a byte-order mark): the BASE line, then html,
// each line ended by CR LF.
// Returns false when the file could not be written.
bool WriteEditCopy(const std::string& path, const std::string& baseUrl, const std::string& html);
// The file's bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace pq
