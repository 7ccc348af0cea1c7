// The site script's reading of requests: percent-decoding and form bodies read back what the
// program's encoder wrote, and no publication target or served file ever lies outside the site
// folder, is hidden, or (for a publication) is anything but a page.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "text/form_fields.h"
#include "site-script/site_paths.h"
#include "site-script/url_decoding.h"

namespace fs = std::filesystem;

namespace {

using namespace pq::fuzz;

fs::path g_top;   // the temporary folder, removed at exit
fs::path g_root;  // the site folder inside it, canonical

void Write(const fs::path& p, const char* text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << text;
}

// A small site with the traps a request may aim at: a hidden file, the site script's own
// folder, and symbolic links that lead out of the site.
void MakeSite() {
  char name[] = "/tmp/pq-fuzz-site-XXXXXX";
  if (!mkdtemp(name)) std::abort();
  g_top = name;
  const fs::path site = g_top / "site";
  Write(site / "index.htm", "home");
  Write(site / "a" / "p.htm", "page");
  Write(site / "a" / "b" / "index.html", "inner");
  Write(site / ".hidden.htm", "hidden");
  Write(site / "pagequill" / "x.htm", "script's own");
  Write(g_top / "outside" / "secret.htm", "secret");
  fs::create_directory_symlink(g_top / "outside", site / "out");
  fs::create_symlink(g_top / "outside" / "secret.htm", site / "evil.htm");
  g_root = fs::canonical(site);
  std::atexit([] {
    std::error_code ec;
    fs::remove_all(g_top, ec);
  });
}

bool Inside(const fs::path& p) {
  const std::string s = p.string(), root = g_root.string() + "/";
  return s.compare(0, root.size(), root) == 0;
}

bool Hidden(const fs::path& p) {
  for (const auto& part : p.lexically_relative(g_root))
    if (!part.empty() && part.string().front() == '.') return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeSite();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const int mode = in.Below(4);
  const std::string text(in.Rest());

  if (mode == 0) {
    // What the program's form encoder writes, the site script reads back exactly.
    const auto back = pq::site::PercentDecode(pq::FormUrlEncode(text), true);
    Require(back.has_value(), "an encoded value decodes");
    RequireEqual(*back, text, "a value decodes to the bytes encoded");
    if (const auto decoded = pq::site::PercentDecode(text, false))
      Require(decoded->size() <= text.size(), "decoding never lengthens");
  } else if (mode == 1) {
    if (const auto form = pq::site::ParseUrlEncodedForm(text)) {
      std::string body;
      for (const auto& f : *form)
        body += (body.empty() ? "" : "&") + pq::FormUrlEncode(f.name) + "=" + pq::FormUrlEncode(f.value);
      const auto again = pq::site::ParseUrlEncodedForm(body);
      Require(again && again->size() == form->size(), "a form read and written reads the same", text);
      for (std::size_t i = 0; i < form->size(); ++i) {
        RequireEqual((*again)[i].name, (*form)[i].name, "names read the same");
        RequireEqual((*again)[i].value, (*form)[i].value, "values read the same");
      }
    }
  } else if (mode == 2) {
    if (const auto target = pq::site::ResolvePublishTarget(g_root, text)) {
      Require(Inside(*target), "a publication target lies inside the site", target->string());
      Require(!Hidden(*target), "a publication target is never hidden", target->string());
      const std::string name = target->filename().string();
      Require(name.size() > 4 && (name.ends_with(".htm") || name.ends_with(".html")),
              "a publication target is a page", name);
      std::error_code ec;
      if (fs::exists(*target, ec))
        Require(Inside(fs::canonical(*target, ec)), "an existing target is really inside the site",
                target->string());
    }
  } else {
    const auto target = pq::site::ResolveStaticPath(g_root, text);
    if (target.kind == pq::site::StaticTarget::Kind::File) {
      std::error_code ec;
      const fs::path real = fs::canonical(target.file, ec);
      Require(!ec && Inside(real), "a served file is really inside the site", target.file.string());
      Require(!Hidden(real), "a served file is never hidden", real.string());
      Require(!Inside(real) || real.lexically_relative(g_root).begin()->string() != "pagequill",
              "the site script's own folder is never served", real.string());
    }
  }
  return 0;
}
