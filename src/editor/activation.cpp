#include "editor/activation.h"

#include <string_view>

#include "text/text_util.h"

namespace pq {

namespace {

// Blanks as the text means them: spaces only.
bool BlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

bool IsEditSpan(const ElementInfo& e) {
  return AsciiUpper(e.tag) == "SPAN" && StartsWithNoCase(e.id, "ZZZEDIT");
}
bool IsAnchorSpan(const ElementInfo& e) {
  return AsciiUpper(e.tag) == "SPAN" && StartsWithNoCase(e.id, "ZZZANCHOR");
}
bool FormattingOnly(const std::string& tag) {
  static constexpr std::string_view kAllowed[] = {"FONT", "STRONG", "B", "I", "U", "EM", "CITE", "BR"};
  const std::string up = AsciiUpper(tag);
  for (auto t : kAllowed)
    if (up == t) return true;
  return false;
}

// For each element, one past the index of its last descendant (elements come in document order).
std::vector<int> SubtreeEnds(const std::vector<ElementInfo>& elements) {
  const int n = static_cast<int>(elements.size());
  std::vector<int> end(elements.size(), 0);
  std::vector<int> open;  // the chain of ancestors of the current element
  for (int i = 0; i < n; ++i) {
    const int parent = elements[static_cast<std::size_t>(i)].parent;
    while (!open.empty() && open.back() != parent) {
      end[static_cast<std::size_t>(open.back())] = i;
      open.pop_back();
    }
    open.push_back(i);
  }
  for (int i : open) end[static_cast<std::size_t>(i)] = n;
  return end;
}

// Only the spans the program inserted: a page element of another kind that happens to share
// the id is never opened.
std::string SpanSelector(const std::string& id) { return "span" + CssIdSelector(id); }

// A selector that reaches element `target` from its ancestor `root` through child positions.
std::string PathSelector(const std::vector<ElementInfo>& elements, int root, int target) {
  std::vector<int> chain;
  for (int i = target; i != root && i >= 0; i = elements[static_cast<std::size_t>(i)].parent) chain.push_back(i);
  std::string s = SpanSelector(elements[static_cast<std::size_t>(root)].id);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const int parent = elements[static_cast<std::size_t>(*it)].parent;
    int position = 1;
    for (int j = parent + 1; j < *it; ++j)
      if (elements[static_cast<std::size_t>(j)].parent == parent) ++position;
    s += " > " + AsciiLower(elements[static_cast<std::size_t>(*it)].tag) + ":nth-child(" + std::to_string(position) + ")";
  }
  return s;
}

// One universal rule makes every element take its parent's selectability and editability, so
// the page's own rules and contenteditable attributes count for nothing; the document is shut at
// its root and opened again only at the chosen elements, which their contents follow. Rules
// keyed by id or tag, never "#id *", keep the style engine's work linear in the page.
constexpr const char* kInertRules =
    "* { -webkit-user-select: inherit !important; -webkit-user-modify: inherit !important; }\n"
    "html { -webkit-user-select: none !important; -webkit-user-modify: read-only !important; }\n"
    "input, textarea, select, button { pointer-events: none !important; }\n";

bool IsFormField(const std::string& upperTag) {
  return upperTag == "INPUT" || upperTag == "TEXTAREA" || upperTag == "SELECT";
}

// Dropped clicks (links that are not editable, and every element but P and SPAN) and disabled
// form fields outside the spans.
void AddClickAndFieldChanges(const std::vector<ElementInfo>& elements, const std::vector<bool>& editable,
                             const std::vector<int>& end, ActivationPlan& plan) {
  const int n = static_cast<int>(elements.size());
  std::vector<bool> inside(elements.size(), false), inSpan(elements.size(), false);
  for (int i = 0; i < n; ++i) {
    const auto& e = elements[static_cast<std::size_t>(i)];
    const bool span = IsEditSpan(e) || IsAnchorSpan(e);
    if (!editable[static_cast<std::size_t>(i)] && !span) continue;
    for (int d = i; d < end[static_cast<std::size_t>(i)]; ++d) {
      if (editable[static_cast<std::size_t>(i)]) inside[static_cast<std::size_t>(d)] = true;
      if (span && d > i) inSpan[static_cast<std::size_t>(d)] = true;
    }
  }
  // A dropped click covers everything inside the element too, so an element inside one that
  // drops its clicks needs no change of its own.
  std::vector<bool> dropped(elements.size(), false);
  for (int i = 0; i < n; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const std::string tag = AsciiUpper(elements[k].tag);
    const int parent = elements[k].parent;
    const bool covered = parent >= 0 && parent < i && dropped[static_cast<std::size_t>(parent)];
    if (covered || (tag == "A" ? !inside[k] : (tag != "P" && tag != "SPAN"))) {
      dropped[k] = true;
      if (!covered) plan.changes.push_back({i, "onclick", ""});
    }
    if (IsFormField(tag) && !inSpan[k]) plan.changes.push_back({i, "disabled", "1"});
  }
}

}  // namespace

SpanSnapshot SpansAfterActivation(const std::vector<ElementInfo>& elements, const std::vector<int>& editable,
                                  SpanSnapshot changed) {
  const std::vector<int> end = SubtreeEnds(elements);
  std::vector<bool> inside(elements.size(), false);
  for (int i : editable)
    for (int d = i; d < end[static_cast<std::size_t>(i)]; ++d) inside[static_cast<std::size_t>(d)] = true;
  SpanSnapshot spans;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const ElementInfo& e = elements[i];
    if (!(StartsWithNoCase(e.id, "ZZZEDIT") || StartsWithNoCase(e.id, "ZZZANCHOR")) || spans.elements.count(e.id))
      continue;
    auto& span = spans.elements[e.id];
    if (auto c = changed.elements.find(e.id); c != changed.elements.end()) {
      span = std::move(c->second);
      continue;
    }
    span.innerHTML = e.html;
    for (int a = static_cast<int>(i) + 1; a < end[i]; ++a)
      if (inside[static_cast<std::size_t>(a)] && AsciiUpper(elements[static_cast<std::size_t>(a)].tag) == "A")
        span.editableLinks.push_back(elements[static_cast<std::size_t>(a)].html);
  }
  return spans;
}

ActivationPlan PlanInert(const std::vector<ElementInfo>& elements) {
  ActivationPlan plan;
  AddClickAndFieldChanges(elements, std::vector<bool>(elements.size(), false), SubtreeEnds(elements), plan);
  plan.styleSheet = kInertRules;
  return plan;
}

std::string CssIdSelector(const std::string& id) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s = "#";
  for (std::size_t i = 0; i < id.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(id[i]);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-' || c >= 0x80 ||
                       (c >= '0' && c <= '9' && i > 0);
    if (plain) {
      s += static_cast<char>(c);
    } else {
      s += '\\';
      if (c >= 0x10) s += kHex[c >> 4];
      s += kHex[c & 15];
      s += ' ';
    }
  }
  return s;
}

ActivationPlan PlanActivation(const std::vector<ElementInfo>& elements, bool linkTextEditable,
                              bool& deletedFound) {
  ActivationPlan plan;
  const int n = static_cast<int>(elements.size());
  const std::vector<int> end = SubtreeEnds(elements);
  std::vector<bool> editable(elements.size(), false);
  bool anyOpened = false;              // an edit span was made editable
  std::vector<std::string> shutSpans;  // edit spans left as they are (nothing to edit in them)
  std::vector<std::string> shutLinks;  // links of anchor spans that stay read-only
  bool initialSet = false;

  for (int i = 0; i < n; ++i) {
    const ElementInfo& e = elements[static_cast<std::size_t>(i)];
    if (IsEditSpan(e)) {
      if (e.html == kDeletedTextHTML) {
        plan.offers.push_back({i, e.id, true});
        initialSet = true;
        plan.changes.push_back({i, "innerHTML", ""});
        deletedFound = true;
      } else if (!BlankOnly(e.text)) {
        if (!deletedFound && !initialSet) {
          plan.offers.push_back({i, e.id, false});
          initialSet = true;
        }
        // A trailing blank would be lost to editing; one "&nbsp;" keeps it.
        if (!e.html.empty() && e.html.back() == ' ')
          plan.changes.push_back({i, "innerHTML", e.html.substr(0, e.html.size() - 1) + "&nbsp;"});
      } else {
        shutSpans.push_back(SpanSelector(e.id));  // an empty span stays as it is
        continue;
      }
      editable[static_cast<std::size_t>(i)] = true;
      plan.editable.push_back(i);
      anyOpened = true;
    } else if (IsAnchorSpan(e) && linkTextEditable) {
      for (int a = i + 1; a < end[static_cast<std::size_t>(i)]; ++a) {
        const ElementInfo& link = elements[static_cast<std::size_t>(a)];
        if (AsciiUpper(link.tag) != "A") continue;
        bool plain = !BlankOnly(link.text);
        for (int d = a + 1; d < end[static_cast<std::size_t>(a)] && plain; ++d)
          plain = FormattingOnly(elements[static_cast<std::size_t>(d)].tag);
        if (!plain) {
          shutLinks.push_back(PathSelector(elements, i, a));
          continue;
        }
        editable[static_cast<std::size_t>(a)] = true;
        plan.editable.push_back(a);
      }
    }
  }

  AddClickAndFieldChanges(elements, editable, end, plan);

  // Author rules beat the engine's own for contenteditable, so the page's own editable
  // elements are shut too, and only the chosen ones open.
  // Edit spans are opened by one rule and the few empty ones shut again by id; links likewise,
  // the few that may not be edited shut again by their position in their span. A selector per
  // opened span made the style sheet grow with the page (a megabyte on a 1 MB page) and a rule
  // per link, each tried on every link, would grow with the square of their number.
  auto rule = [](const std::vector<std::string>& list, const char* body) {
    std::string out;
    for (const auto& s : list) out += (out.empty() ? "" : ",\n") + s;
    return out + " " + body + "\n";
  };
  constexpr const char* kOpen = "{ -webkit-user-select: text !important; -webkit-user-modify: read-write !important; }";
  constexpr const char* kShut = "{ -webkit-user-select: none !important; -webkit-user-modify: read-only !important; }";
  // The engine rings the focused editable element beside the pane's own dotted frame.
  constexpr const char* kNoRing = "{ outline: none !important; }";
  const std::string spanSelector = "span[id^=\"ZZZEDIT\" i]";
  const std::string linkSelector = "span[id^=\"ZZZANCHOR\" i] a";
  std::vector<std::string> focused;
  if (anyOpened) focused.push_back(spanSelector + ":focus");
  if (linkTextEditable) focused.push_back(linkSelector + ":focus");
  plan.styleSheet = kInertRules;
  if (anyOpened) {
    plan.styleSheet += rule({spanSelector}, kOpen);
    if (!shutSpans.empty()) plan.styleSheet += rule(shutSpans, kShut);
  }
  if (linkTextEditable) plan.styleSheet += rule({linkSelector}, kOpen);
  if (!shutLinks.empty()) plan.styleSheet += rule(shutLinks, kShut);
  if (!focused.empty()) plan.styleSheet += rule(focused, kNoRing);
  return plan;
}

}  // namespace pq
