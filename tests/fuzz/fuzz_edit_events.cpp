// Sequences of document events, as the in-page runtime records them, through the edit pane's
// decisions: a refocus ignores events whole, the link check runs at most once an event, and a framed span is the current one.
#include <array>
#include <map>
#include <optional>
#include <string>

#include "editor/edit_events.h"
#include "fuzz_support.h"

namespace {

using namespace pq::fuzz;

struct Links : pq::LinkAccess {
  std::map<std::string, pq::LinkContents> links;
  int answer = 1;
  int asked = 0;
  std::optional<pq::LinkContents> ReadLink(const pq::SpanRef& span) override {
    ++asked;
    auto it = links.find(span.id);
    if (it == links.end()) return std::nullopt;
    return it->second;
  }
  void WriteLink(const pq::SpanRef& span, const std::string& html) override { links[span.id] = {html, html}; }
  void ShowLinkDeleted() override { ++asked; }
  int AskLinkChange() override {
    ++asked;
    return answer;
  }
};

constexpr std::array<const char*, 12> kTypes = {"keydown", "keypress", "keyup",  "click",
                                                "mousedown", "mouseup", "selectionchange", "contextmenu",
                                                "focusin", "dblclick", "dragstart", "KeyDown"};
constexpr std::array<const char*, 7> kIds = {"", "ZZZEDIT1", "ZZZEDIT2", "ZZZANCHOR1", "zzzedit1",
                                             "ZZZANCHOR2", "other"};
constexpr std::array<const char*, 5> kTags = {"SPAN", "A", "BODY", "P", "span"};
constexpr std::array<const char*, 4> kHtml = {"", "text", "<a href=\"x\">link</a>", "a<br>"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  pq::EditEventState state;
  Links links;
  links.answer = in.Below(3);
  // A snapshot read still under way when the next event comes in (the read runs the main loop).
  std::optional<pq::SnapshotRead> reading;
  for (int n = 0; !in.Empty() && n < 64; ++n) {
    pq::DocumentEvent e;
    const std::uint8_t flags = in.Byte();
    if (flags & 1) e.frame = {static_cast<int>(in.Below(3))};
    e.load = (flags >> 1) & 1;
    e.type = kTypes[in.Below(kTypes.size())];
    e.keyCode = in.Byte();
    e.ctrlKey = flags & 4;
    e.shiftKey = flags & 8;
    e.hasText = flags & 16;
    e.hasActive = flags & 32;
    e.x = in.Byte();
    e.y = in.Byte();
    e.active.tag = kTags[in.Below(kTags.size())];
    e.active.id = kIds[in.Below(kIds.size())];
    e.active.parentId = kIds[in.Below(kIds.size())];
    e.active.parentTag = kTags[in.Below(kTags.size())];
    e.active.editable = flags & 64;
    e.active.html = kHtml[in.Below(kHtml.size())];
    if (flags & 128) links.links[kIds[in.Below(kIds.size())]] = {kHtml[in.Below(kHtml.size())], "x"};

    const pq::Refocus refocusBefore = state.refocus;
    links.asked = 0;
    const pq::EditDecisions d = pq::qEvent(e, state, links);
    if (d.ignored) {
      Require(refocusBefore != pq::Refocus::kNone, "only a refocus ignores events");
      Require(!d.checkIcons && !d.frame && !d.unframe && !d.showMenu && d.linkChecks == 0 &&
                  d.shortcut == pq::Shortcut::kNone,
              "an ignored event decides nothing");
    }
    Require(d.linkChecks <= 1, "the link is checked at most once an event");
    Require(links.asked <= 3, "the user is asked at most once an event");
    if (d.frame) {
      Require(pq::KindOfSpan(d.frame->id) == pq::SpanIdKind::kEdit, "only edit spans are framed", d.frame->id);
      Require(d.frame->id == state.currentSpanId, "the framed span is the current one", d.frame->id);
    }

    // What the edit pane carries out after an event, in the order it does.
    if (in.Byte() & 1) {
      if (d.readSpanHtmlOnEntry) pq::SpanHtmlOnEntryRead(state, std::string(kHtml[in.Below(kHtml.size())]));
      const pq::PendingWork w = pq::TakePendingWork(state);
      if (w.refocusLink) pq::RefocusDone(state, in.Byte() & 1);
      if (!reading) reading = pq::SnapshotCandidate(state);
      // Most reads answer before the next event; some are overtaken by it.
      if (reading && (in.Byte() & 3) != 0) {
        const bool taken = pq::TakeSnapshot(state, *reading, kHtml[in.Below(kHtml.size())]);
        if (taken) {
          Require(state.currentDocument && reading->span.document == *state.currentDocument &&
                      reading->span.id == state.currentSpanId,
                  "a snapshot is taken only for the span the caret is in", reading->span.id);
        }
        reading.reset();
      }
    }
  }
  return 0;
}
