#include "publishing/text_diff.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using pq::DiffTexts;
using pq::TextEdit;

TEST(DiffTexts, Cases) {
  const struct {
    const char* name;
    std::string before, after;
    std::vector<TextEdit> want;
  } cases[] = {
      {"same text", "<p>a</p>", "<p>a</p>", {}},
      {"one word", "<p>old text</p>", "<p>new text</p>", {{3, 6, "new"}}},
      {"two places stay apart", "<p>one</p><div>keep</div><p>two</p>",
       "<p>1</p><div>keep</div><p>2</p>", {{3, 6, "1"}, {28, 31, "2"}}},
      {"a changed word keeps the quotes around it", "<p>\xE2\x80\x9Cone\xE2\x80\x9D</p>",
       "<p>\xE2\x80\x9Ctwo\xE2\x80\x9D</p>", {{6, 9, "two"}}},
      {"insertion", "<p>a</p>", "<p>a b</p>", {{4, 4, " b"}}},
      {"deletion", "<p>a b</p>", "<p>a</p>", {{4, 6, ""}}},
      // é and è share their first byte; the edit starts at the character
      {"characters are never split", "caf\xC3\xA9", "caf\xC3\xA8", {{3, 5, "\xC3\xA8"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(DiffTexts(c.before, c.after), c.want) << c.name;
}

}  // namespace

namespace pq {
void PrintTo(const TextEdit& e, std::ostream* os) {
  *os << "[" << e.from << "," << e.to << ")->\"" << e.text << "\"";
}
}  // namespace pq

namespace {

bool Boundary(const std::string& s, std::size_t i) {
  return i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
}

TEST(DiffTexts, EditsRebuildTheTextAndStayOrdered) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"<p>", "</p>", " ", "word", "caf\xC3\xA9", "\xE2\x82\xAC",
                                           "<a href=\"x\">", "</a>", "\n", "text"};
  auto page = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += pieces[rng() % pieces.size()];
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    const std::string before = page(60);
    std::string after = before;
    for (int k = rng() % 4; k >= 0; --k) {
      const std::size_t at = rng() % (after.size() + 1);
      const std::size_t start = after.rfind('>', at);
      const std::size_t cut = start == std::string::npos ? 0 : start + 1;
      after.insert(cut, page(1 + rng() % 3));
    }
    const auto edits = DiffTexts(before, after);
    EXPECT_EQ(pq::ApplyEdits(before, edits), after) << before << "\n" << after;
    for (std::size_t i = 0; i < edits.size(); ++i) {
      EXPECT_LE(edits[i].from, edits[i].to);
      EXPECT_TRUE(Boundary(before, edits[i].from) && Boundary(before, edits[i].to));
      if (i) {
        EXPECT_LT(edits[i - 1].to, edits[i].from);
      }
    }
  }
}

TEST(TransportEdits, TheSourceKeepsWhatOnlyTheRestoreChanged) {
  const struct {
    const char* name;
    std::string s, b, p, want;
  } cases[] = {
      {"a filtered character elsewhere stays", "<p>\x01" "a</p><p>b</p>", "<p>a</p><p>b</p>",
       "<p>a</p><p>B</p>", "<p>\x01" "a</p><p>B</p>"},
      {"a filtered character beside the edit stays", "<p>\x01" "a</p>", "<p>a</p>", "<p>A</p>",
       "<p>\x01" "A</p>"},
      {"a tag the markers added is not published", "<p>x</p>", "<html><p>x</p>",
       "<html><p>y</p>", "<p>y</p>"},
      {"two edits around an added tag", "<p>x</p><p>y</p>", "<p>x</p><b></b><p>y</p>",
       "<p>1</p><b></b><p>2</p>", "<p>1</p><p>2</p>"},
      {"an edit over a changed place takes it as restored", "<p>a\x02" "b</p>", "<p>a b</p>",
       "<p>c</p>", "<p>c</p>"},
  };
  for (const auto& c : cases) {
    const auto edits = pq::TransportEdits(c.p, DiffTexts(c.b, c.p), DiffTexts(c.s, c.b));
    EXPECT_EQ(pq::ApplyEdits(c.s, edits), c.want) << c.name;
  }
}

TEST(DiffTexts, TooManyChangesGiveOneEdit) {
  std::string before, after;
  for (int i = 0; i < 5000; ++i) before += "<b>" + std::to_string(i) + "</b>", after += "<i>x</i>";
  before = "<p>" + before + "</p>";
  after = "<p>" + after + "</p>";
  const auto edits = DiffTexts(before, after);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(pq::ApplyEdits(before, edits), after);
}

}  // namespace
