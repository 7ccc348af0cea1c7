#pragma once
#include <glib.h>

#include <memory>
#include <string>

#include "core/settings.h"

namespace pq::engine {

// The per-user settings store: a key file at $XDG_CONFIG_HOME/pagequill/settings.ini
// (~/.config/... by default). Every change is written at once, atomically and readable only
// by the user, because the "passwords" section holds passwords. Several stores over the same
// file (one per control that needs settings) see each other's changes: the file is read again
// whenever it has changed on disk. A file that does not parse is never overwritten: it is moved
// aside and the entries that can be read are kept; the user is told (Settings::Tell).
class KeyFileSettings : public Settings {
 public:
  KeyFileSettings();
  explicit KeyFileSettings(std::string path);

  std::string GetSetting(const std::string& section, const std::string& key,
                         const std::string& fallback = "") const override;
  void SaveSetting(const std::string& section, const std::string& key,
                   const std::string& value) override;

  const std::string& Path() const { return path_; }
  // Whether the last write reached the disk.
  bool LastWriteOk() const { return lastWriteOk_; }

  static std::string DefaultPath();

  struct FileStamp {
    long long inode = -1, modified = -1, size = -1;
    bool operator==(const FileStamp&) const = default;
  };

 private:
  void Write();
  // Reads the file again when it changed since it was last read or written.
  void Refresh() const;
  // A file that GKeyFile refuses: moved aside, what can be read kept and written back.
  void Salvage(const std::string& text) const;
  // A file that others may read is made the user's own.
  void MakePrivate();

  std::string path_;
  mutable std::unique_ptr<GKeyFile, decltype(&g_key_file_unref)> file_{g_key_file_new(),
                                                                       &g_key_file_unref};
  mutable FileStamp stamp_{-2, -2, -2};  // the file as last read or written
  bool lastWriteOk_ = true;
  bool writeFailureTold_ = false;
  mutable bool unreadable_ = false;  // there, but could not be read: never written over
};

// Key names may be addresses: characters a key file cannot hold in a key are escaped.
std::string EscapeSettingKey(const std::string& key);

}  // namespace pq::engine
