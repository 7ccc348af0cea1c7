// Form fields of a publication post: the body has only the characters a form may send, and the
// site script's own parser reads back every name and value byte for byte, in order.
#include <array>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "text/page_encoding.h"
#include "text/form_fields.h"
#include "site-script/url_decoding.h"

namespace {

using namespace pq::fuzz;

constexpr std::array<const char*, 8> kCharsets = {"utf-8",  "windows-1252", "iso-8859-1", "shift_jis",
                                                  "euc-kr", "gbk",          "koi8-r",     "windows-1258"};

bool FormSafe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
         c == '-' || c == '.' || c == '_' || c == '%' || c == '+' || c == '=' || c == '&';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  pq::FormFields fields;
  const std::string charset = kCharsets[in.Below(kCharsets.size())];
  fields.SetCharset(charset);
  std::vector<std::pair<std::string, std::string>> sent;  // name, bytes
  while (!in.Empty() && sent.size() < 16) {
    const bool asBytes = in.Byte() & 1;
    std::string name(in.Until('\0'));
    std::string value(in.Until('\0'));
    if (asBytes) {
      fields.AddFieldBytes(name, value);
      sent.emplace_back(name, value);
    } else {
      fields.AddField(name, value);
      const auto bytes = pq::EncodeText(value, charset);
      Require(bytes.has_value(), "every posting set can be written");
      sent.emplace_back(name, *bytes);
    }
  }
  Require(fields.Fields().size() == sent.size(), "every field is kept");
  for (std::size_t i = 0; i < sent.size(); ++i) {
    RequireEqual(fields.Fields()[i].name, sent[i].first, "names are kept in order");
    RequireEqual(fields.Fields()[i].bytes, sent[i].second, "values are the text in the page's set");
  }
  const std::string body = fields.Body();
  for (const char c : body) Require(FormSafe(c), "the body holds only what a form sends", body);

  const auto parsed = pq::site::ParseUrlEncodedForm(body);
  Require(parsed.has_value(), "the site script reads the body", body);
  // An empty body is no field at all; otherwise each field comes back exactly.
  if (!sent.empty() && !(sent.size() == 1 && sent[0].first.empty() && sent[0].second.empty())) {
    Require(parsed->size() == sent.size(), "the site script reads every field", body);
    for (std::size_t i = 0; i < sent.size(); ++i) {
      RequireEqual((*parsed)[i].name, sent[i].first, "the site script reads each name");
      RequireEqual((*parsed)[i].value, sent[i].second, "the site script reads each value");
    }
  }
  return 0;
}
