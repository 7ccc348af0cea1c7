#include "site-script/http_site.h"

#include <sys/socket.h>

#include <fstream>
#include <iterator>

#include "site-script/content_types.h"
#include "site-script/site_paths.h"

namespace pq::site {

namespace {

constexpr const char* kScriptType = "text/html; charset=utf-8";
constexpr std::uintmax_t kMaxServedFile = 256u * 1024 * 1024;
constexpr int kThreads = 32;
constexpr int kBacklog = 128;
constexpr std::size_t kDrainMargin = 4u * 1024 * 1024;

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
    : options_(options), root_(options.root), script_(options) {
  if (options_.tlsCert.empty()) {
    auto plain = std::make_unique<Widening<httplib::Server>>();
    widenBacklog_ = [s = plain.get()](int backlog) { s->WidenBacklog(backlog); };
    server_ = std::move(plain);
  } else {
    auto tls = std::make_unique<Widening<httplib::SSLServer>>(options_.tlsCert.c_str(), options_.tlsKey.c_str());
    widenBacklog_ = [s = tls.get()](int backlog) { s->WidenBacklog(backlog); };
    server_ = std::move(tls);
  }
  server_->new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  // Only SO_REUSEADDR: cpp-httplib's default also sets SO_REUSEPORT, which would let a
  // second server share the port silently.
  server_->set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server_->set_default_headers({{"Cache-Control", "no-cache"},
                               {"X-Content-Type-Options", "nosniff"}});
  server_->set_payload_max_length(options_.maxBodyBytes);
  server_->set_read_timeout(10, 0);
  server_->set_keep_alive_max_count(100);
  // Replies go out as headers then body; without this, Nagle and delayed ACKs add 40 ms.
  server_->set_tcp_nodelay(true);
  server_->set_write_timeout(10, 0);

  server_->Get(R"(/pagequill/?)", [this](const httplib::Request& req, httplib::Response& res) {
    const std::string type = req.get_param_value("type");
    if (type == "verify") {
      // Also as a post (fields "type", "passkey", "hash"), which keeps the hash out of logs.
      const std::string passkey = req.get_param_value("passkey");
      const std::string hash = req.get_param_value("hash");
      res.set_content(script_.Verify(req.has_param("passkey") ? &passkey : nullptr,
                                     req.has_param("hash") ? &hash : nullptr, req.remote_addr),
                      kScriptType);
      return;
    }
    res.set_content(script_.Answer(type, req.get_header_value("Host"), req.remote_addr), kScriptType);
  });
  server_->Post(R"(/pagequill/?)", [this](const httplib::Request& req, httplib::Response& res,
                                         const httplib::ContentReader& reader) {
    ServePublish(req, res, reader);
  });
  server_->Get("/check.php", [this](const httplib::Request& req, httplib::Response& res) {
    if (options_.vendorCheck) {
      res.set_content("@@ok@@", kScriptType);
    } else {
      ServeStatic(req, res);
    }
  });
  server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    ServeStatic(req, res);
  });

  // Whatever goes wrong, the reply is a short page: never a trace of the server's insides.
  server_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
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
  server_->set_exception_handler(
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
  if (std::filesystem::file_size(target.file, ec) > kMaxServedFile || ec) {
    res.status = 404;
    return;
  }
  std::ifstream in(target.file, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    res.status = 404;
    return;
  }
  const std::string type = ContentTypeFor(target.file.filename().string(), content);
  res.body = std::move(content);
  res.set_header("Content-Type", type);
}

void HttpSite::ServePublish(const httplib::Request& req, httplib::Response& res,
                            const httplib::ContentReader& reader) {
  // A body with a Content-Length above the limit never gets here: the library refuses it
  // unread (413). A chunked one is counted as it comes; past the limit the rest is read and
  // dropped, up to a margin, so the reply arrives on a clean connection. Beyond that
  // margin the connection is cut.
  const std::size_t limit = options_.maxBodyBytes;
  const std::size_t drainLimit = limit + kDrainMargin;
  std::size_t received = 0;
  bool tooLarge = false;
  auto keep = [&](std::size_t n, bool& stop) {
    received += n;
    tooLarge = tooLarge || received > limit;
    stop = received > drainLimit;
    return !tooLarge;
  };
  std::optional<std::vector<FormField>> fields;
  bool read = false;
  if (req.is_multipart_form_data()) {
    std::vector<FormField> parts;
    read = reader(
        [&](const httplib::MultipartFormData& part) {
          parts.push_back({part.name, ""});
          return parts.size() <= 16;
        },
        [&](const char* data, std::size_t n) {
          bool stop = false;
          if (keep(n, stop)) parts.back().value.append(data, n);
          return !stop;
        });
    if (read && !tooLarge) fields = std::move(parts);
  } else {
    std::string body;
    read = reader([&](const char* data, std::size_t n) {
      bool stop = false;
      if (keep(n, stop)) body.append(data, n);
      return !stop;
    });
    const std::string type = req.get_header_value("Content-Type");
    if (read && !tooLarge && (type.empty() || type.rfind("application/x-www-form-urlencoded", 0) == 0)) {
      fields = ParseUrlEncodedForm(body);
    }
  }
  const bool refusedBySize = tooLarge || res.status == 413;  // 413: the library saw Content-Length
  res.status = 200;
  if (refusedBySize) {
    res.status = 413;
    res.set_content(SiteScript::Reply("Page too large"), kScriptType);
    return;
  }
  if (!fields) {
    res.status = 400;
    res.set_content(SiteScript::Reply("Bad request"), kScriptType);
    return;
  }
  res.set_content(script_.Publish(*fields, req.remote_addr), kScriptType);
}

std::string HttpSite::CertificateProblem() const {
  if (server_->is_valid()) return "";
  return "cannot use the certificate " + options_.tlsCert + " with the key " + options_.tlsKey +
         " (not PEM, or the key does not belong to the certificate)";
}

int HttpSite::Bind(std::string& error) {
  if (error = CertificateProblem(); !error.empty()) return -1;
  const int port = options_.port == 0 ? server_->bind_to_any_port(options_.bind)
                                      : (server_->bind_to_port(options_.bind, options_.port)
                                             ? options_.port
                                             : -1);
  if (port >= 0) widenBacklog_(kBacklog);
  if (port < 0) {
    error = "cannot listen on " + options_.bind + " port " + std::to_string(options_.port) +
            " (address in use, or not an address of this machine)";
  }
  return port;
}

bool HttpSite::Run() { return server_->listen_after_bind(); }

}  // namespace pq::site
