#include "engine/http_fetch.h"

#include <glib.h>
#include <libsoup/soup.h>

#include <memory>

#include "engine/gobject_ptr.h"
#include "engine/wait_until.h"
#include "pageprep/text_util.h"
#include "pageprep/utf8.h"

namespace pq::engine {

namespace {

// Pages larger than this are not ours to edit; a server streaming without end cannot fill memory.
constexpr std::size_t kMaxBody = 64u * 1024 * 1024;
constexpr gsize kChunk = 64 * 1024;

// One request in flight. Shared by the caller and the callbacks' chain, so a request abandoned at
// its deadline finishes safely after the caller has gone.
struct Transfer {
  GObjectPtr<SoupMessage> message;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  GObjectPtr<GInputStream> stream;
  std::string body;
  bool done = false;
  bool failed = false;
};
using TransferRef = std::shared_ptr<Transfer>;

// The chain's own reference travels as the callbacks' data: taken back by each callback, and
// handed on to the next step or dropped.
gpointer Hold(const TransferRef& t) { return std::make_unique<TransferRef>(t).release(); }
TransferRef Take(gpointer data) { return std::move(*std::unique_ptr<TransferRef>(static_cast<TransferRef*>(data))); }

SoupSession* Session() {
  // No cache feature is added, so every fetch goes to the server.
  static SoupSession* session = soup_session_new_with_options(
      "user-agent", "Pagequill/1.0", "timeout", 30u, "idle-timeout", 30u, nullptr);
  return session;
}

void Finish(Transfer& t, bool failed) {
  t.failed = failed;
  t.done = true;
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  if (!bytes) {
    g_clear_error(&error);
    return Finish(*t, true);
  }
  std::unique_ptr<GBytes, decltype(&g_bytes_unref)> owned(bytes, g_bytes_unref);
  gsize size = 0;
  const auto* p = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  if (size == 0) return Finish(*t, false);
  t->body.append(p, size);
  if (t->body.size() > kMaxBody) return Finish(*t, true);
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  t->stream = GObjectPtr<GInputStream>(soup_session_send_finish(SOUP_SESSION(source), result, &error));
  if (!t->stream) {
    g_clear_error(&error);
    return Finish(*t, true);
  }
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

std::string Windows1252ToUtf8(const std::string& bytes) {
  // 0x80-0x9F; the five unassigned codes keep their own value so nothing is lost.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) {
    const char32_t cp = (c >= 0x80 && c <= 0x9F) ? kHigh[c - 0x80] : c;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string CharsetFromMeta(const std::string& bytes) {
  const std::string head = AsciiLower(std::string_view(bytes).substr(0, 8192));
  for (std::size_t pos = head.find("<meta"); pos != std::string::npos;
       pos = head.find("<meta", pos + 5)) {
    const auto end = head.find('>', pos);
    const std::string tag = head.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    auto at = tag.find("charset=");
    if (at == std::string::npos) continue;
    at += 8;
    while (at < tag.size() && (tag[at] == '"' || tag[at] == '\'' || tag[at] == ' ')) ++at;
    std::string name;
    while (at < tag.size() && (g_ascii_isalnum(tag[at]) || tag[at] == '-' || tag[at] == '_' ||
                               tag[at] == ':' || tag[at] == '.'))
      name += tag[at++];
    if (!name.empty()) return name;
  }
  return "";
}

bool IsUtf8Name(const std::string& charset) {
  const std::string c = AsciiLower(charset);
  return c == "utf-8" || c == "utf8";
}

bool IsWindows1252Name(const std::string& charset) {
  const std::string c = AsciiLower(charset);
  return c.empty() || c == "windows-1252" || c == "cp1252" || c == "us-ascii" || c == "ascii";
}

}  // namespace

std::string DecodeBody(const std::string& bytes, const std::string& contentType,
                       std::string* charsetUsed) {
  std::string charset;
  if (auto at = AsciiLower(contentType).find("charset="); at != std::string::npos) {
    charset = contentType.substr(at + 8);
    charset = std::string(TrimWhitespace(charset.substr(0, charset.find(';'))));
    if (charset.size() >= 2 && (charset.front() == '"' || charset.front() == '\''))
      charset = charset.substr(1, charset.size() - 2);
  }
  if (charset.empty()) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
      charset = "UTF-8";
    else if (bytes.rfind("\xFF\xFE", 0) == 0)
      charset = "UTF-16LE";
    else if (bytes.rfind("\xFE\xFF", 0) == 0)
      charset = "UTF-16BE";
    else
      charset = CharsetFromMeta(bytes);
  }
  std::string text;
  if (IsUtf8Name(charset)) {
    text = bytes;  // invalid sequences are kept as they are; every scan is byte based
    charset = "UTF-8";
  } else if (IsWindows1252Name(charset)) {
    text = Windows1252ToUtf8(bytes);
    charset = "windows-1252";
  } else {
    gsize written = 0;
    GError* error = nullptr;
    gchar* converted = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8",
                                 charset.c_str(), nullptr, &written, &error);
    if (converted) {
      text.assign(converted, written);
      g_free(converted);
    } else {  // an unknown or lying declaration: fall back to the usual default
      g_clear_error(&error);
      text = Windows1252ToUtf8(bytes);
      charset = "windows-1252";
    }
  }
  if (charsetUsed) *charsetUsed = charset;
  return text;
}

FetchResult FetchURL(const std::string& url, std::chrono::milliseconds timeout) {
  FetchResult r;
  // Only web addresses are fetched; libsoup has nothing to say about file: or data: ones.
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return r;
  auto t = std::make_shared<Transfer>();
  t->message = GObjectPtr<SoupMessage>(soup_message_new("GET", url.c_str()));
  if (!t->message) return r;  // not a URL libsoup can fetch
  SoupMessage* message = t->message.get();
  SoupMessageHeaders* headers = soup_message_get_request_headers(message);
  soup_message_headers_replace(headers, "Cache-Control", "no-cache");
  soup_message_headers_replace(headers, "Pragma", "no-cache");
  soup_session_send_async(Session(), message, G_PRIORITY_DEFAULT, t->cancellable.get(), OnSent, Hold(t));

  if (!WaitUntil([&t] { return t->done; }, timeout)) {
    // The chain finishes its own cancellation and lets go of the request.
    g_cancellable_cancel(t->cancellable.get());
    return r;
  }
  if (t->failed) return r;
  r.ok = true;
  r.status = soup_message_get_status(message);
  const char* type =
      soup_message_headers_get_one(soup_message_get_response_headers(message), "Content-Type");
  r.text = DecodeBody(t->body, type ? type : "", &r.charset);
  return r;
}

std::string GetURLText(const std::string& url) { return FetchURL(url).text; }

}  // namespace pq::engine
