#include "engine/form_post.h"

#include <libsoup/soup.h>

#include <map>
#include <memory>

#include "engine/gobject_ptr.h"
#include "pageprep/page_decoding.h"
#include "engine/wait_until.h"
#include "pageprep/text_util.h"

namespace pq::engine {

namespace {

// A reply larger than this is no site script's; a server that streams without end cannot
// fill memory.
constexpr std::size_t kMaxReply = 8u * 1024 * 1024;
constexpr gsize kChunk = 64 * 1024;

struct Post {
  GObjectPtr<SoupMessage> message;
  GObjectPtr<GCancellable> cancellable;
  GObjectPtr<GInputStream> stream;
  std::string body;
  bool done = false;
  bool failed = false;
};

// Posts in flight by number; the callbacks find theirs here, so a post given up at its
// deadline finishes its cancellation safely after the caller has gone.
std::map<guint, std::shared_ptr<Post>>& InFlight() {
  static std::map<guint, std::shared_ptr<Post>> posts;
  return posts;
}

std::shared_ptr<Post> Find(gpointer data) {
  auto& posts = InFlight();
  const auto it = posts.find(GPOINTER_TO_UINT(data));
  return it == posts.end() ? nullptr : it->second;
}

void Finish(gpointer data, bool failed) {
  if (auto post = Find(data)) {
    post->failed = failed;
    post->done = true;
  }
  InFlight().erase(GPOINTER_TO_UINT(data));
}

SoupSession* Session() {
  // No cache feature: every post reaches the server. Redirects are followed by default.
  static GObjectPtr<SoupSession> session(soup_session_new_with_options(
      "user-agent", "Pagequill/1.0", "timeout", 60u, "idle-timeout", 30u, nullptr));
  return session.get();
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  GErrorPtr owned(error);
  auto post = Find(data);
  if (!bytes || !post) {
    if (bytes) g_bytes_unref(bytes);
    return Finish(data, true);
  }
  gsize size = 0;
  const auto* p = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  post->body.append(p, size);
  g_bytes_unref(bytes);
  if (size == 0) return Finish(data, false);
  if (post->body.size() > kMaxReply) return Finish(data, true);
  g_input_stream_read_bytes_async(post->stream.get(), kChunk, G_PRIORITY_DEFAULT,
                                  post->cancellable.get(), OnRead, data);
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  GInputStream* stream = soup_session_send_finish(SOUP_SESSION(source), result, &error);
  GErrorPtr owned(error);
  auto post = Find(data);
  if (!stream || !post) {
    if (stream) g_object_unref(stream);
    return Finish(data, true);
  }
  post->stream = GObjectPtr<GInputStream>(stream);
  g_input_stream_read_bytes_async(stream, kChunk, G_PRIORITY_DEFAULT, post->cancellable.get(),
                                  OnRead, data);
}

}  // namespace

PostResult PostForm(const std::string& url, const std::string& body,
                    const std::string& contentType, std::chrono::milliseconds timeout) {
  PostResult r;
  if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return r;
  SoupMessage* message = soup_message_new("POST", url.c_str());
  if (!message) return r;
  static guint lastId = 0;
  const guint id = ++lastId;
  auto post = std::make_shared<Post>();
  post->message = GObjectPtr<SoupMessage>(message);
  post->cancellable = GObjectPtr<GCancellable>(g_cancellable_new());
  InFlight()[id] = post;

  SoupMessageHeaders* headers = soup_message_get_request_headers(message);
  soup_message_headers_replace(headers, "Cache-Control", "no-cache");
  GBytes* bytes = g_bytes_new(body.data(), body.size());
  soup_message_set_request_body_from_bytes(message, contentType.c_str(), bytes);
  g_bytes_unref(bytes);
  soup_session_send_async(Session(), message, G_PRIORITY_DEFAULT, post->cancellable.get(),
                          OnSent, GUINT_TO_POINTER(id));

  if (!WaitUntil([&] { return post->done; }, timeout)) {
    g_cancellable_cancel(post->cancellable.get());  // its callbacks end it
    return r;
  }
  if (post->failed) return r;
  r.ok = true;
  r.status = soup_message_get_status(message);
  const char* type =
      soup_message_headers_get_one(soup_message_get_response_headers(message), "Content-Type");
  r.text = DecodePage(post->body, type ? type : "").text;
  return r;
}

PostResult SubmitIEformCtrl::Submit(const std::string& url, std::chrono::milliseconds timeout) {
  return PostForm(url, fields_.Body(), kFormContentType, timeout);
}

std::string SubmitIEformCtrl::SubmitData(const std::string& url,
                                         std::chrono::milliseconds timeout) {
  return PostForm(url, fields_.Body(), kFormContentType, timeout).text;
}

}  // namespace pq::engine
