#include "editor/activation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A small document as the adapter reads it: elements in document order with their parents.
class Doc {
 public:
  int Add(const std::string& tag, int parent = -1, const std::string& id = "", const std::string& text = "",
          const std::string& html = "") {
    pq::ElementInfo e;
    e.tag = tag;
    e.parent = parent;
    e.id = id;
    e.text = text;
    e.html = html;
    elements.push_back(e);
    return static_cast<int>(elements.size()) - 1;
  }
  std::vector<pq::ElementInfo> elements;
};

bool Has(const pq::ActivationPlan& plan, int index, const std::string& property, const std::string& value = "*") {
  return std::any_of(plan.changes.begin(), plan.changes.end(), [&](const pq::ElementChange& c) {
    return c.index == index && c.property == property && (value == "*" || c.value == value);
  });
}
bool Editable(const pq::ActivationPlan& plan, int index) {
  return std::find(plan.editable.begin(), plan.editable.end(), index) != plan.editable.end();
}
bool ChangesContents(const pq::ActivationPlan& plan) {
  return std::any_of(plan.changes.begin(), plan.changes.end(),
                     [](const pq::ElementChange& c) { return c.property == "innerHTML"; });
}

TEST(Activation, DeletedTextSpanIsEmptiedAndWinsTheCaret) {
  Doc d;
  const int div = d.Add("DIV");
  const int first = d.Add("SPAN", div, "ZZZEDIT1", "Opening hours", "Opening hours");
  const int deleted = d.Add("SPAN", div, "ZZZEDIT2", "\u00a0", pq::kDeletedTextHTML);
  const int later = d.Add("SPAN", div, "ZZZEDIT3", "\u00a0", pq::kDeletedTextHTML);
  bool deletedFound = false;
  const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
  EXPECT_TRUE(deletedFound);
  EXPECT_TRUE(Has(plan, deleted, "innerHTML", ""));
  EXPECT_TRUE(Has(plan, later, "innerHTML", ""));
  EXPECT_TRUE(Editable(plan, first) && Editable(plan, deleted) && Editable(plan, later));
  // The first span is offered first, then the deleted one, fixed: the deleted one wins.
  ASSERT_EQ(plan.offers.size(), 3u);
  EXPECT_EQ(plan.offers[0].id, "ZZZEDIT1");
  EXPECT_FALSE(plan.offers[0].fixed);
  EXPECT_EQ(plan.offers[1].id, "ZZZEDIT2");
  EXPECT_TRUE(plan.offers[1].fixed);
}

TEST(Activation, AnEarlierFrameWithDeletedTextMeansNoOtherOffer) {
  Doc d;
  d.Add("SPAN", -1, "ZZZEDIT1", "Text", "Text");
  bool deletedFound = true;
  const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
  EXPECT_TRUE(plan.offers.empty());
  EXPECT_TRUE(Editable(plan, 0));
}

TEST(Activation, EditSpans) {
  const struct {
    const char* name;
    const char* text;
    const char* html;
    bool editable;
    const char* newHtml;  // nullptr: contents untouched
  } cases[] = {
      {"plain", "Fresh cakes", "Fresh cakes", true, nullptr},
      {"one trailing blank", "Fresh ", "Fresh ", true, "Fresh&nbsp;"},
      {"two trailing blanks: only the last", "Fresh  ", "Fresh  ", true, "Fresh &nbsp;"},
      {"formatting inside", "Fresh cakes", "<b>Fresh</b> cakes", true, nullptr},
      {"empty", "", "", false, nullptr},
      {"blanks only", "   ", "   ", false, nullptr},
      {"an image only", "", "<img src=a.png>", false, nullptr},
  };
  for (const auto& c : cases) {
    Doc d;
    const int p = d.Add("P");
    const int span = d.Add("SPAN", p, "ZZZEDIT7", c.text, c.html);
    d.Add("SPAN", p, "ZZZEDIT8", "Other", "Other");  // always editable
    bool deletedFound = false;
    const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
    EXPECT_EQ(Editable(plan, span), c.editable) << c.name;
    // One rule opens the edit spans; a span left as it is is shut again by its id.
    EXPECT_NE(plan.styleSheet.find("span[id^=\"ZZZEDIT\" i] { -webkit-user-select: text !important; "
                                   "-webkit-user-modify: read-write"),
              std::string::npos)
        << c.name;
    EXPECT_EQ(plan.styleSheet.find("span#ZZZEDIT7 { -webkit-user-select: none !important; "
                                   "-webkit-user-modify: read-only") != std::string::npos,
              !c.editable)
        << c.name;
    if (c.newHtml)
      EXPECT_TRUE(Has(plan, span, "innerHTML", c.newHtml)) << c.name;
    else
      EXPECT_FALSE(ChangesContents(plan)) << c.name;
    ASSERT_EQ(plan.offers.size(), 1u) << c.name;
    EXPECT_EQ(plan.offers[0].id, c.editable ? "ZZZEDIT7" : "ZZZEDIT8") << c.name;
  }
}

TEST(Activation, LinkTextIsEditableOnlyWhenPlainAndAllowed) {
  auto build = [](Doc& d, int& plainLink, int& imageLink, int& bold) {
    // Straight in the body: a surrounding DIV would drop every click inside it at once.
    const int a1 = d.Add("SPAN", -1, "ZZZANCHOR1");
    plainLink = d.Add("A", a1, "", "Our cakes");
    bold = d.Add("B", plainLink, "", "Our");
    d.Add("I", plainLink, "", "cakes");
    const int a2 = d.Add("SPAN", -1, "ZZZANCHOR2");
    imageLink = d.Add("A", a2, "", "Logo");
    d.Add("IMG", imageLink);
  };
  {
    Doc d;
    int plainLink = 0, imageLink = 0, bold = 0;
    build(d, plainLink, imageLink, bold);
    bool deletedFound = false;
    const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
    EXPECT_TRUE(Editable(plan, plainLink));
    EXPECT_FALSE(Editable(plan, imageLink));
    // The editable link keeps its clicks (the window does not navigate anyway); the other is shut.
    EXPECT_FALSE(Has(plan, plainLink, "onclick"));
    EXPECT_TRUE(Has(plan, imageLink, "onclick"));
    EXPECT_TRUE(Has(plan, bold, "onclick"));
    // Links of anchor spans open by one rule; the image link is shut again by its position in
    // its span: no attribute is needed on any link.
    EXPECT_NE(plan.styleSheet.find("span[id^=\"ZZZANCHOR\" i] a { -webkit-user-select: text !important; "
                                   "-webkit-user-modify: read-write"),
              std::string::npos)
        << plan.styleSheet;
    EXPECT_NE(plan.styleSheet.find("span#ZZZANCHOR2 > a:nth-child(1) { -webkit-user-select: none !important; "
                                   "-webkit-user-modify: read-only"),
              std::string::npos)
        << plan.styleSheet;
    EXPECT_EQ(plan.styleSheet.find("ZZZANCHOR1 "), std::string::npos);
    for (const auto& c : plan.changes) EXPECT_TRUE(c.property == "onclick") << c.property;
  }
  {
    Doc d;
    int plainLink = 0, imageLink = 0, bold = 0;
    build(d, plainLink, imageLink, bold);
    bool deletedFound = false;
    const auto plan = pq::PlanActivation(d.elements, false, deletedFound);
    EXPECT_TRUE(plan.editable.empty());
    EXPECT_TRUE(Has(plan, plainLink, "onclick"));
    EXPECT_TRUE(Has(plan, imageLink, "onclick"));
    EXPECT_EQ(plan.styleSheet.find("read-write"), std::string::npos);
  }
}

TEST(Activation, ALinkWithoutTextIsShutByItsPosition) {
  Doc d;
  const int span = d.Add("SPAN", -1, "ZZZANCHOR4");
  d.Add("A", span, "", "");  // no text: stays shut
  const int font = d.Add("FONT", span);
  const int link = d.Add("A", font, "", "Second");
  bool deletedFound = false;
  const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
  ASSERT_EQ(plan.editable, std::vector<int>{link});
  // The first link has no text: it is shut by its position; the second follows the rule.
  EXPECT_NE(plan.styleSheet.find("span#ZZZANCHOR4 > a:nth-child(1) {"), std::string::npos) << plan.styleSheet;
  EXPECT_EQ(plan.styleSheet.find("font:nth-child"), std::string::npos) << plan.styleSheet;
}

TEST(Activation, ClicksAndFormFields) {
  Doc d;
  const int form = d.Add("FORM");
  const int p = d.Add("P", form);
  const int input = d.Add("INPUT", p);
  const int area = d.Add("TEXTAREA", form);
  const int select = d.Add("SELECT", form);
  const int option = d.Add("OPTION", select);
  const int span = d.Add("SPAN", form, "ZZZEDIT1", "Name: ", "Name: <input>");
  const int inSpan = d.Add("INPUT", span);
  const int pageSpan = d.Add("SPAN", form, "note");
  bool deletedFound = false;
  const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
  for (int i : {input, area, select}) EXPECT_TRUE(Has(plan, i, "disabled", "1")) << i;
  // Inside a span a disabled attribute would be published; the style sheet stops the mouse there.
  EXPECT_FALSE(Has(plan, inSpan, "disabled"));
  EXPECT_NE(plan.styleSheet.find("pointer-events: none"), std::string::npos);
  // The form drops every click inside it: nothing within needs a change of its own.
  EXPECT_TRUE(Has(plan, form, "onclick"));
  for (int i : {p, input, area, select, option, span, inSpan, pageSpan}) EXPECT_FALSE(Has(plan, i, "onclick")) << i;
}

TEST(Activation, ClicksAreDroppedAtTheOutermostElementThatNeedsIt) {
  Doc d;
  const int p = d.Add("P");                       // kept: a paragraph's clicks are its own
  const int b = d.Add("B", p, "", "bold");        // dropped
  const int i = d.Add("I", b, "", "bold");        // inside b: covered
  const int span = d.Add("SPAN", p, "ZZZANCHOR1");
  const int link = d.Add("A", span, "", "Home");  // editable link: kept
  const int img = d.Add("IMG", link);             // dropped (and makes the link unsuitable)
  bool deletedFound = false;
  const auto plan = pq::PlanActivation(d.elements, true, deletedFound);
  EXPECT_FALSE(Has(plan, p, "onclick"));
  EXPECT_TRUE(Has(plan, b, "onclick"));
  EXPECT_FALSE(Has(plan, i, "onclick"));
  EXPECT_TRUE(Has(plan, link, "onclick"));  // it holds an image: not editable, so shut
  EXPECT_FALSE(Has(plan, img, "onclick"));
}

TEST(Activation, InertDocument) {
  Doc d;
  const int span = d.Add("SPAN", -1, "ZZZEDIT1", "Text", "Text");
  const int link = d.Add("A", -1, "", "Home");
  const int input = d.Add("INPUT");
  const auto plan = pq::PlanInert(d.elements);
  EXPECT_TRUE(plan.editable.empty());
  EXPECT_TRUE(plan.offers.empty());
  EXPECT_FALSE(ChangesContents(plan));
  EXPECT_TRUE(Has(plan, link, "onclick"));
  EXPECT_TRUE(Has(plan, input, "disabled", "1"));
  EXPECT_FALSE(Has(plan, span, "onclick"));
  EXPECT_EQ(plan.styleSheet.find("read-write"), std::string::npos);
}

TEST(Activation, CssIdSelectorEscapes) {
  EXPECT_EQ(pq::CssIdSelector("ZZZEDIT12"), "#ZZZEDIT12");
  EXPECT_EQ(pq::CssIdSelector("zzzedit a\"b"), "#zzzedit\\20 a\\22 b");
  EXPECT_EQ(pq::CssIdSelector("1x"), "#\\31 x");
  EXPECT_EQ(pq::CssIdSelector("a}b{c"), "#a\\7d b\\7b c");
}

// The spans recorded after activation come from the read and the plan, as the page would answer
// them: editable links only inside what the plan opened, the first element of an id, the
// contents the batch changed taken as read again.
TEST(Activation, SpansAfterActivation) {
  Doc doc;
  const int p = doc.Add("P");
  const int trailing = doc.Add("SPAN", p, "ZZZEDIT1", "Intro ", "Intro <a href=\"x\">in</a> ");
  doc.Add("A", trailing, "", "in", "in");
  const int opened = doc.Add("SPAN", p, "ZZZEDIT2", "See", "See <b><a href=\"y\">deep</a></b>");
  const int bold = doc.Add("B", opened);
  doc.Add("A", bold, "", "deep", "deep");
  const int anchor = doc.Add("SPAN", p, "ZZZANCHOR1", "plain rich", "<a>plain</a><a><i>rich</i></a>");
  doc.Add("A", anchor, "", "plain", "plain");
  const int rich = doc.Add("A", anchor, "", "rich", "<img>");
  doc.Add("IMG", rich);
  const int blank = doc.Add("SPAN", p, "ZZZEDIT3", " ", " <a>x</a>");
  doc.Add("A", blank, "", "", "x");
  doc.Add("DIV", p, "zzzedit9", "", "not a span");
  doc.Add("SPAN", p, "ZZZEDIT2", "Again", "Again");
  bool deleted = false;
  const pq::ActivationPlan plan = pq::PlanActivation(doc.elements, true, deleted);

  pq::SpanSnapshot changed;
  changed.elements["ZZZEDIT1"] = {"Intro <a href=\"x\">in</a>&nbsp;", {"in"}};
  const pq::SpanSnapshot spans = pq::SpansAfterActivation(doc.elements, plan.editable, changed);

  struct Want {
    std::string id, html;
    std::vector<std::string> links;
  };
  const Want wants[] = {
      {"ZZZEDIT1", "Intro <a href=\"x\">in</a>&nbsp;", {"in"}},
      {"ZZZEDIT2", "See <b><a href=\"y\">deep</a></b>", {"deep"}},
      {"ZZZANCHOR1", "<a>plain</a><a><i>rich</i></a>", {"plain"}},
      {"ZZZEDIT3", " <a>x</a>", {}},
      {"zzzedit9", "not a span", {}},
  };
  EXPECT_EQ(spans.elements.size(), std::size(wants));
  for (const Want& w : wants) {
    ASSERT_TRUE(spans.InnerHTML(w.id)) << w.id;
    EXPECT_EQ(*spans.InnerHTML(w.id), w.html) << w.id;
    EXPECT_EQ(spans.EditableLinkHTML(w.id), w.links) << w.id;
  }
}

}  // namespace
