#pragma once
#include <filesystem>
#include <string>
#include <system_error>

namespace pq {

// The program's data folder (pictures, help, start page) for an executable in exeFolder:
// "<prefix>/share/pagequill" beside its "<prefix>/bin", which the build tree mirrors with a
// link. Normalised, so that addresses shown to the user read ".../share/pagequill", not "bin/..".
inline std::string DataFolderFor(const std::string& exeFolder) {
  if (exeFolder.empty()) return "share/pagequill";
  return std::filesystem::path(exeFolder + "/../share/pagequill").lexically_normal().string();
}

// The folder of the running executable ("" when it cannot be told).
inline std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

// The data folder of this process, found once.
inline const std::string& DataFolder() {
  static const std::string folder = DataFolderFor(ExecutableFolder());
  return folder;
}

}  // namespace pq
