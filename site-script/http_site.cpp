#include "site-script/http_site.h"

#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "site-script/streamed_post.h"

#include "site-script/content_types.h"
#include "site-script/site_paths.h"

namespace pq::site {

namespace {

constexpr const char* kScriptType = "text/html; charset=utf-8";
constexpr std::uintmax_t kMaxServedFile = 256u * 1024 * 1024;
constexpr int kBacklog = 128;
constexpr std::size_t kKeepAliveMax = 100;
constexpr std::chrono::seconds kBudgetWait{10};

// What the request being served on this thread may change about its connection.
struct RequestState {
  DeadlineStream* stream = nullptr;
  bool closeAfter = false;  // its body was not read to the end
};
thread_local RequestState* tCurrent = nullptr;

void CloseAfterReply(httplib::Response& res) {
  if (tCurrent) tCurrent->closeAfter = true;
  res.set_header("Connection", "close");
}

// The announced length of the body; 0 when none or not a number.
std::uint64_t ContentLength(const httplib::Request& req) {
  const std::string text = req.get_header_value("Content-Length");
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

bool HasBody(const httplib::Request& req) {
  return req.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos ||
         ContentLength(req) > 0;
}

bool IsScriptPath(const std::string& path) { return path == "/pagequill/" || path == "/pagequill"; }

const char* StatusText(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    default: return status >= 500 ? "Server Error" : "Error";
  }
}

std::string RawPathOf(const std::string& target) { return target.substr(0, target.find('?')); }

}  // namespace

HttpSite::HttpSite(const SiteOptions& options)
    : options_(options), root_(options.root), script_(options), budget_(options.bodyMemoryBytes) {
  // Only SO_REUSEADDR: cpp-httplib's default also sets SO_REUSEPORT, which would let a
  // second server share the port silently.
  server_.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server_.set_default_headers({{"Cache-Control", "no-cache"},
                               {"X-Content-Type-Options", "nosniff"}});
  server_.set_payload_max_length(options_.maxBodyBytes);
  server_.set_keep_alive_max_count(kKeepAliveMax);

  // The head has been read: from here the body is timed by its rate. Methods that carry
  // a body nobody reads are refused before it is read.
  server_.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
    if (tCurrent && tCurrent->stream) tCurrent->stream->StartBody();
    if (req.method == "GET" || req.method == "HEAD" || req.method == "POST") {
      if (req.method != "POST" && HasBody(req)) CloseAfterReply(res);
      return httplib::Server::HandlerResponse::Unhandled;
    }
    res.status = 405;
    CloseAfterReply(res);
    return httplib::Server::HandlerResponse::Handled;
  });

  server_.Get(R"(/pagequill/?)", [this](const httplib::Request& req, httplib::Response& res) {
    std::vector<FormField> params;
    for (const auto& [name, value] : req.params) params.push_back({name, value});
    res.set_content(script_.Answer(req.get_param_value("type"), req.get_header_value("Host"),
                                   req.remote_addr, params),
                    kScriptType);
  });
  server_.Post(R"(/pagequill/?)", [this](const httplib::Request& req, httplib::Response& res,
                                         const httplib::ContentReader& reader) {
    ServePost(req, res, reader);
  });
  // Anywhere else a post is refused unread, so no body is ever held but a publication's.
  server_.Post(".*", [](const httplib::Request&, httplib::Response& res,
                        const httplib::ContentReader&) {
    res.status = 405;
    CloseAfterReply(res);
  });
  server_.Get("/check.php", [this](const httplib::Request& req, httplib::Response& res) {
    if (options_.vendorCheck) {
      res.set_content("@@ok@@", kScriptType);
    } else {
      ServeStatic(req, res);
    }
  });
  server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    ServeStatic(req, res);
  });

  // Whatever goes wrong, the reply is a short page: never a trace of the server's insides.
  server_.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (!res.body.empty()) return;
    if (IsScriptPath(req.path)) {
      res.set_content(SiteScript::Reply(res.status == 413 ? "Page too large" : "Bad request"),
                      kScriptType);
      return;
    }
    const std::string status = std::to_string(res.status) + " " + StatusText(res.status);
    res.set_content("<html><head><title>" + status + "</title></head><body><h1>" + status +
                        "</h1></body></html>\n",
                    "text/html; charset=utf-8");
  });
  server_.set_exception_handler(
      [](const httplib::Request& req, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(IsScriptPath(req.path) ? SiteScript::Reply("Server error")
                                               : "<html><body><h1>500 Server error</h1></body></html>\n",
                        kScriptType);
      });
}

void HttpSite::ServeStatic(const httplib::Request& req, httplib::Response& res) const {
  const StaticTarget target = ResolveStaticPath(root_, req.path);
  switch (target.kind) {
    case StaticTarget::Kind::NotFound:
      res.status = 404;
      return;
    case StaticTarget::Kind::AddSlash: {
      const auto query = req.target.find('?');
      res.set_redirect(RawPathOf(req.target) + "/" +
                           (query == std::string::npos ? "" : req.target.substr(query)),
                       301);
      return;
    }
    case StaticTarget::Kind::File:
      break;
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(target.file, ec);
  if (ec || size > kMaxServedFile) {
    res.status = 404;
    return;
  }
  // Sent in pieces from the file opened now: a page replaced meanwhile is sent whole, old
  // or new, and a large file never sits in memory.
  auto in = std::make_shared<std::ifstream>(target.file, std::ios::binary);
  std::string head(std::min<std::uintmax_t>(size, 1024), '\0');
  if (!*in || !in->read(head.data(), static_cast<std::streamsize>(head.size()))) {
    res.status = 404;
    return;
  }
  const std::string type = ContentTypeFor(target.file.filename().string(), head);
  res.set_content_provider(
      static_cast<std::size_t>(size), type,
      [in](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        char buf[64 * 1024];
        in->clear();
        in->seekg(static_cast<std::streamoff>(offset));
        in->read(buf, static_cast<std::streamsize>(std::min(length, sizeof buf)));
        const auto n = in->gcount();
        if (n <= 0) return false;
        return sink.write(buf, static_cast<std::size_t>(n));
      });
}

void HttpSite::ServePost(const httplib::Request& req, httplib::Response& res,
                         const httplib::ContentReader& reader) {
  // Refusals before the end of the body stop reading it; the connection is closed after
  // the reply, and the gate drains what the client is still sending so the reply reaches it.
  auto refuse = [&](int status, std::string reply) {
    res.status = status;
    res.set_content(std::move(reply), kScriptType);
    CloseAfterReply(res);
  };
  const std::uint64_t length = ContentLength(req);
  if (length > options_.maxBodyBytes) return refuse(413, SiteScript::Reply("Page too large"));
  const bool multipart = req.is_multipart_form_data();
  const std::string type = req.get_header_value("Content-Type");
  if (!multipart && !type.empty() && type.rfind("application/x-www-form-urlencoded", 0) != 0) {
    return refuse(400, SiteScript::Reply("Bad request"));
  }

  BodyBudget::Hold hold(budget_);
  StreamedPost post({}, [&](const std::string& passkey, const std::string& hash) {
    std::string refusal = script_.Authenticate(passkey, hash, req.remote_addr);
    if (!refusal.empty()) return refusal;
    // Only now is the page read: the memory of all pages in flight is bounded.
    if (!hold.Take(length > 0 ? length : options_.maxBodyBytes, kBudgetWait)) {
      return SiteScript::Reply("The server is busy - please try again in a moment");
    }
    return std::string();
  });
  std::size_t received = 0;
  bool tooLarge = false;
  auto count = [&](std::size_t n) {
    received += n;
    tooLarge = tooLarge || received > options_.maxBodyBytes;
    return !tooLarge;
  };
  bool malformed = false;
  bool read = false;
  if (multipart) {
    read = reader(
        [&](const httplib::MultipartFormData& part) { return post.BeginField(part.name); },
        [&](const char* data, std::size_t n) {
          return count(n) && post.Append(std::string_view(data, n));
        });
  } else {
    UrlEncodedStream form(post);
    read = reader([&](const char* data, std::size_t n) {
             return count(n) && form.Feed(std::string_view(data, n));
           }) &&
           form.End();
    malformed = form.malformed();
  }
  res.status = 200;
  if (tooLarge) return refuse(413, SiteScript::Reply("Page too large"));
  if (!post.refusal().empty()) {
    if (read) {
      res.set_content(post.refusal(), kScriptType);
    } else {
      refuse(200, post.refusal());
    }
    return;
  }
  // Malformed, or the client stopped sending or sent too slowly.
  if (malformed || !read) return refuse(400, SiteScript::Reply("Bad request"));
  if (!post.Finish()) {
    res.set_content(post.refusal(), kScriptType);
    return;
  }
  res.set_content(script_.Act(post.fields(), req.remote_addr), kScriptType);
}

bool HttpSite::ServeConnection(Connection& connection) {
  DeadlineStream stream(connection, DeadlineStream::Clock::now() + std::chrono::seconds(10), {});
  RequestState state{&stream, false};
  tCurrent = &state;
  const bool last = static_cast<std::size_t>(connection.served) >= kKeepAliveMax;
  bool closed = false;
  const bool ok = server_.ServeOne(stream, last, closed);
  tCurrent = nullptr;
  return ok && !closed && !last && !state.closeAfter;
}

int HttpSite::Bind(std::string& error) {
  const int port = options_.port == 0 ? server_.bind_to_any_port(options_.bind)
                                      : (server_.bind_to_port(options_.bind, options_.port)
                                             ? options_.port
                                             : -1);
  if (port >= 0) {
    server_.WidenBacklog(kBacklog);
    gate_ = std::make_unique<ConnectionGate>(
        server_.listenSocket(), ConnectionGate::Limits{},
        [this](Connection& c) { return ServeConnection(c); });
  }
  if (port < 0) {
    error = "cannot listen on " + options_.bind + " port " + std::to_string(options_.port) +
            " (address in use, or not an address of this machine)";
  }
  return port;
}

bool HttpSite::Run() {
  if (!gate_) return false;
  gate_->Run();
  return true;
}

void HttpSite::Stop() {
  if (gate_) gate_->Stop();
}

}  // namespace pq::site
