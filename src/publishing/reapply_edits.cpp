#include "publishing/reapply_edits.h"

#include <map>

#include "pageprep/markers.h"
#include "text/utf8.h"
#include "publishing/publishable_page.h"

namespace pq {

namespace {

std::string SourceTextOf(const PublishDocument& doc, const SpanPlace& place) {
  const std::string& source = doc.page.source.text;
  if (place.sourceEnd > source.size() || place.sourceBegin > place.sourceEnd) return {};
  return source.substr(place.sourceBegin, place.sourceEnd - place.sourceBegin);
}

// The spans with their places in the source; where those cannot be found, the spans alone:
// their source text then reads as "", so their edits are left to the user, never dropped.
SpanLayout SpansOf(const PublishDocument& doc) {
  if (auto placed = SourceLayoutOf(doc.page)) return std::move(*placed);
  return LayoutOf(doc.page.edit).layout;
}

// What a span's HTML reads as: tags dropped, line breaks kept, the common references read.
std::string HtmlAsText(const std::string& html) {
  std::string out;
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const auto close = html.find('>', i);
      if (close == std::string::npos) break;
      std::string tag = html.substr(i + 1, close - i - 1);
      for (auto& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (tag.rfind("br", 0) == 0 || tag == "/p" || tag == "/div") out += '\n';
      i = close + 1;
    } else if (html[i] == '&') {
      static const std::pair<const char*, const char*> kNamed[] = {
          {"&nbsp;", " "}, {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}};
      bool done = false;
      for (const auto& [name, value] : kNamed)
        if (html.compare(i, std::char_traits<char>::length(name), name) == 0) {
          out += value;
          i += std::char_traits<char>::length(name);
          done = true;
          break;
        }
      if (!done && html.compare(i, 2, "&#") == 0) {
        const auto semi = html.find(';', i);
        if (semi != std::string::npos && semi - i <= 10) {
          const bool hex = i + 2 < semi && (html[i + 2] == 'x' || html[i + 2] == 'X');
          try {
            const unsigned long cp = std::stoul(html.substr(i + (hex ? 3 : 2), semi - i - (hex ? 3 : 2)),
                                                nullptr, hex ? 16 : 10);
            if (cp > 0 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF)) {
              AppendUtf8(out, static_cast<char32_t>(cp));
              i = semi + 1;
              done = true;
            }
          } catch (...) {
          }
        }
      }
      if (!done) out += html[i++];
    } else {
      out += html[i++];
    }
  }
  return out;
}

}  // namespace

std::vector<CarriedEdit> CarriedEdits(const std::vector<PublishDocument>& documents) {
  std::vector<CarriedEdit> out;
  for (const PublishDocument& doc : documents) {
    if (!doc.readable) continue;
    const SpanSnapshot* recorded = doc.recorded ? &*doc.recorded : nullptr;
    const ChangedSpans changed(doc.live, recorded);
    if (!changed.Any() && recorded) continue;
    const SpanLayout layout = SpansOf(doc);
    std::map<std::pair<SpanKind, std::string>, int> seen, total;
    for (const SpanPlace& place : layout.spans) ++total[{place.kind, SourceTextOf(doc, place)}];
    const std::string address = GetMarker(doc.page.edit.html, "FullPath");
    for (const SpanPlace& place : layout.spans) {
      const std::string source = SourceTextOf(doc, place);
      const int ordinal = seen[{place.kind, source}]++;
      const auto html = changed.InnerHTML(place.Id());
      if (!html) continue;
      CarriedEdit e;
      e.document = address;
      e.id = place.Id();
      e.kind = place.kind;
      e.sourceText = source;
      e.ordinal = ordinal;
      e.sameText = total[{place.kind, source}];
      e.html = *html;
      e.text = HtmlAsText(*html);
      out.push_back(std::move(e));
    }
  }
  return out;
}

ReapplyPlan PlanReapply(const std::vector<CarriedEdit>& edits,
                        const std::vector<PublishDocument>& fresh) {
  ReapplyPlan plan;
  for (std::size_t e = 0; e < edits.size(); ++e) {
    const CarriedEdit& edit = edits[e];
    bool placed = false;
    for (std::size_t d = 0; d < fresh.size() && !placed; ++d) {
      const PublishDocument& doc = fresh[d];
      if (!doc.readable || GetMarker(doc.page.edit.html, "FullPath") != edit.document) continue;
      const SpanLayout layout = SpansOf(doc);
      std::vector<const SpanPlace*> candidates;
      for (const SpanPlace& place : layout.spans)
        if (place.kind == edit.kind && SourceTextOf(doc, place) == edit.sourceText)
          candidates.push_back(&place);
      // The same text as many times as before: the same one of them. Otherwise the spans cannot
      // be told apart, and the edit is left to the user.
      const SpanPlace* target = static_cast<int>(candidates.size()) == edit.sameText
                                    ? candidates[static_cast<std::size_t>(edit.ordinal)]
                                    : nullptr;
      if (target) {
        plan.changes.push_back({e, d, target->Id(), edit.html});
        placed = true;
      }
    }
    if (!placed) plan.left.push_back(edit);
  }
  return plan;
}

std::string EditsAsText(const std::vector<CarriedEdit>& edits) {
  std::string out;
  for (const CarriedEdit& e : edits) {
    if (!out.empty()) out += "\n\n";
    out += e.text;
  }
  return out;
}

}  // namespace pq
