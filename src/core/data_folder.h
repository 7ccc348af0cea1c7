#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace pq {

// The program's data folder (pictures, help, start page) for an executable in exeFolder:
// "<prefix>/share/pagequill" beside an installed "<prefix>/bin", which the build tree mirrors
// with a link; else `fallback` (the source tree's data folder the build was made from).
inline std::string DataFolderFor(const std::string& exeFolder, const std::string& fallback,
                                 const std::function<bool(const std::string&)>& hasStartPage) {
  // Normalised, so that addresses shown to the user read ".../share/pagequill", not "bin/..".
  const std::string beside =
      std::filesystem::path(exeFolder + "/../share/pagequill").lexically_normal().string();
  if (!exeFolder.empty() && hasStartPage(beside)) return beside;
  return fallback;
}

// The folder of the running executable ("" when it cannot be told).
inline std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

#ifdef PQ_DATA_DIR
// The data folder of this process, found once.
inline const std::string& DataFolder() {
  static const std::string folder = DataFolderFor(
      ExecutableFolder(), PQ_DATA_DIR, [](const std::string& dir) {
        std::error_code ec;
        return std::filesystem::exists(dir + "/start.htm", ec);
      });
  return folder;
}
#endif

}  // namespace pq
