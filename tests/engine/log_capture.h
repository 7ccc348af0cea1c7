#pragma once
#include <glib.h>

#include <string>
#include <vector>

namespace pq::test {

// Records what the program logs while it lives (domain, level and message), and lets every
// entry through to GLib's own writer as well. GLib takes one writer per process, so it is
// installed once and stays; it records only while a capture exists.
class LogCapture {
 public:
  struct Entry {
    std::string domain;
    GLogLevelFlags level;
    std::string message;
  };

  LogCapture() {
    static const bool installed = [] {
      g_log_set_writer_func(&LogCapture::Write, nullptr, nullptr);
      return true;
    }();
    (void)installed;
    Current() = this;
  }
  ~LogCapture() { Current() = nullptr; }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  static LogCapture*& Current() {
    static LogCapture* current = nullptr;
    return current;
  }
  static GLogWriterOutput Write(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
    if (LogCapture* c = Current()) {
      Entry e{"", level, ""};
      for (gsize i = 0; i < count; ++i) {
        const std::string key = fields[i].key;
        const auto* value = static_cast<const char*>(fields[i].value);
        const std::string text = fields[i].length < 0 ? std::string(value)
                                                      : std::string(value, static_cast<std::size_t>(fields[i].length));
        if (key == "GLIB_DOMAIN") e.domain = text;
        if (key == "MESSAGE") e.message = text;
      }
      c->entries_.push_back(std::move(e));
    }
    return g_log_writer_default(level, fields, count, data);
  }

  std::vector<Entry> entries_;
};

}  // namespace pq::test
