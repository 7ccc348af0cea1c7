#include "engine/key_file_settings.h"

#include <glib/gstdio.h>

#include <cstdio>
#include <utility>

namespace pq::engine {

namespace {
struct GFreeDeleter {
  void operator()(gpointer p) const { g_free(p); }
};
using GChars = std::unique_ptr<gchar, GFreeDeleter>;
}  // namespace

std::string EscapeSettingKey(const std::string& key) {
  std::string out;
  for (size_t i = 0; i < key.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(key[i]);
    const bool edgeSpace = c == ' ' && (i == 0 || i + 1 == key.size());
    if (c < 0x20 || c == 0x7f || c == '%' || c == '=' || c == '[' || c == ']' || edgeSpace) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string KeyFileSettings::DefaultPath() {
  return std::string(g_get_user_config_dir()) + "/pagequill/settings.ini";
}

KeyFileSettings::KeyFileSettings() : KeyFileSettings(DefaultPath()) {}

namespace {
// Every write renames a new file into place, so the inode tells one write from the next even
// within the clock's granularity.
KeyFileSettings::FileStamp StampOf(const std::string& path) {
  GStatBuf st;
  if (g_stat(path.c_str(), &st) != 0) return {};
  return {static_cast<long long>(st.st_ino),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
          static_cast<long long>(st.st_size)};
}
}  // namespace

KeyFileSettings::KeyFileSettings(std::string path) : path_(std::move(path)) { Refresh(); }

void KeyFileSettings::Refresh() const {
  const FileStamp stamp = StampOf(path_);
  if (stamp == stamp_) return;
  stamp_ = stamp;
  // A missing or unreadable file leaves what is known as it is.
  std::unique_ptr<GKeyFile, decltype(&g_key_file_unref)> fresh(g_key_file_new(), &g_key_file_unref);
  if (g_key_file_load_from_file(fresh.get(), path_.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr))
    file_ = std::move(fresh);
}

std::string KeyFileSettings::GetSetting(const std::string& section, const std::string& key,
                                        const std::string& fallback) const {
  Refresh();
  const std::string k = EscapeSettingKey(key);
  GChars value(g_key_file_get_string(file_.get(), section.c_str(), k.c_str(), nullptr));
  return value ? std::string(value.get()) : fallback;
}

void KeyFileSettings::SaveSetting(const std::string& section, const std::string& key,
                                  const std::string& value) {
  if (section.empty() || key.empty()) return;
  Refresh();
  const std::string k = EscapeSettingKey(key);
  g_key_file_set_string(file_.get(), section.c_str(), k.c_str(), value.c_str());
  Write();
}

void KeyFileSettings::Write() {
  GChars dir(g_path_get_dirname(path_.c_str()));
  g_mkdir_with_parents(dir.get(), 0700);
  gsize length = 0;
  GChars data(g_key_file_to_data(file_.get(), &length, nullptr));
  // Written to a temporary file in the same folder and renamed over the old one, with mode
  // 0600 from the start so that the passwords are never readable by others.
  lastWriteOk_ = data && g_file_set_contents_full(path_.c_str(), data.get(),
                                                  static_cast<gssize>(length),
                                                  G_FILE_SET_CONTENTS_CONSISTENT, 0600, nullptr);
  stamp_ = StampOf(path_);
}

}  // namespace pq::engine
