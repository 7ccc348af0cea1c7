#include "engine/key_file_settings.h"

#include <glib/gstdio.h>

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "core/settings_salvage.h"

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

KeyFileSettings::KeyFileSettings(std::string path) : path_(std::move(path)) {
  Refresh();
  MakePrivate();
}

void KeyFileSettings::MakePrivate() {
  GStatBuf st;
  if (g_stat(path_.c_str(), &st) != 0 || (st.st_mode & 077) == 0) return;
  if (g_chmod(path_.c_str(), 0600) == 0) {
    Tell("Your Pagequill settings file, which holds remembered passwords, could be read by other "
         "users of this computer. It is now private to you:\n" + path_);
  } else {
    Tell("Your Pagequill settings file, which holds remembered passwords, can be read by other "
         "users of this computer, and Pagequill could not change that:\n" + path_);
  }
}

void KeyFileSettings::Refresh() const {
  const FileStamp stamp = StampOf(path_);
  if (stamp == stamp_) return;
  stamp_ = stamp;
  // A missing file leaves what is known as it is.
  if (stamp.inode < 0) return;
  gchar* raw = nullptr;
  gsize length = 0;
  GError* error = nullptr;
  if (!g_file_get_contents(path_.c_str(), &raw, &length, &error)) {
    if (!unreadable_)
      Tell("Pagequill cannot read its settings file (" + std::string(error->message) +
           "), so remembered passwords and visited pages are not available and are not saved:\n" +
           path_);
    g_error_free(error);
    unreadable_ = true;
    return;
  }
  unreadable_ = false;
  const std::string text(raw, length);
  g_free(raw);
  std::unique_ptr<GKeyFile, decltype(&g_key_file_unref)> fresh(g_key_file_new(), &g_key_file_unref);
  if (g_key_file_load_from_data(fresh.get(), text.data(), text.size(), G_KEY_FILE_KEEP_COMMENTS,
                                nullptr)) {
    file_ = std::move(fresh);
    return;
  }
  Salvage(text);
}

void KeyFileSettings::Salvage(const std::string& text) const {
  char when[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", std::localtime(&now));
  const std::string aside = path_ + ".broken-" + when;
  if (g_rename(path_.c_str(), aside.c_str()) != 0) {
    // Kept where it is and never written over.
    unreadable_ = true;
    Tell("Pagequill's settings file is damaged and could not be moved aside, so nothing is saved "
         "in it:\n" + path_);
    return;
  }
  const SalvagedSettings kept = SalvageSettingsText(text);
  std::unique_ptr<GKeyFile, decltype(&g_key_file_unref)> fresh(g_key_file_new(), &g_key_file_unref);
  if (!g_key_file_load_from_data(fresh.get(), kept.text.data(), kept.text.size(),
                                 G_KEY_FILE_KEEP_COMMENTS, nullptr))
    fresh.reset(g_key_file_new());
  file_ = std::move(fresh);
  gsize length = 0;
  GChars data(g_key_file_to_data(file_.get(), &length, nullptr));
  if (data) g_file_set_contents_full(path_.c_str(), data.get(), static_cast<gssize>(length),
                                     G_FILE_SET_CONTENTS_CONSISTENT, 0600, nullptr);
  stamp_ = StampOf(path_);
  Tell("Part of Pagequill's settings file could not be read. The file was moved aside as\n" + aside +
       "\nand the settings that could be read were kept.");
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
  if (unreadable_) {
    lastWriteOk_ = false;
    return;  // a file that could not be read is never written over
  }
  GChars dir(g_path_get_dirname(path_.c_str()));
  g_mkdir_with_parents(dir.get(), 0700);
  gsize length = 0;
  GChars data(g_key_file_to_data(file_.get(), &length, nullptr));
  // Written to a temporary file in the same folder and renamed over the old one, with mode
  // 0600 from the start so that the passwords are never readable by others.
  GError* error = nullptr;
  lastWriteOk_ = data && g_file_set_contents_full(path_.c_str(), data.get(),
                                                  static_cast<gssize>(length),
                                                  G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error);
  stamp_ = StampOf(path_);
  if (!lastWriteOk_ && !writeFailureTold_) {
    writeFailureTold_ = true;
    Tell("Pagequill cannot save its settings (" +
         std::string(error ? error->message : "the settings could not be written") +
         "), so remembered passwords and visited pages are not being kept:\n" + path_);
  }
  if (error) g_error_free(error);
}

}  // namespace pq::engine
