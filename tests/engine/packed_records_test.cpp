#include "engine/packed_records.h"

#include <gtest/gtest.h>

namespace {

using pq::engine::PackedRecord;

TEST(PackedRecords, EveryCharacterSurvivesTheRoundTrip) {
  const std::vector<PackedRecord> records = {
      {"plain", "", "back\\slash", "\x1e record \x1f field \x1d link", "\\r \\f \\l", "\xc3\xa9"},
      {},
      {"\\", "\\\\", "end\\"},
  };
  EXPECT_EQ(pq::engine::UnpackRecords(pq::engine::PackRecords(records)), records);
  // As the page writes them: each escape stands for its character, any other escaped one for itself.
  EXPECT_EQ(pq::engine::UnpackRecords("a\\rb\\fc\\ld\\\\e\\xf\x1f\x1e"),
            (std::vector<PackedRecord>{{"a\x1e" "b\x1f" "c\x1d" "d\\exf"}}));
  // An unfinished record or a trailing backslash is dropped or kept, never read past the end.
  EXPECT_EQ(pq::engine::UnpackRecords("one\x1f\x1etwo\x1f"), (std::vector<PackedRecord>{{"one"}}));
  EXPECT_EQ(pq::engine::UnpackRecords("x\\"), (std::vector<PackedRecord>{}));
}

TEST(PackedRecords, ElementsTakeTheFieldsNamed) {
  const auto elements = pq::engine::ElementsFromRecords(
      {{"SPAN", "ZZZEDIT1", "1", "0", "Hi"}, {"A", "", "", "nonsense", ""}, {"B"}},
      {"tag", "id", "editable", "parent", "text"});
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[0].tag, "SPAN");
  EXPECT_EQ(elements[0].id, "ZZZEDIT1");
  EXPECT_TRUE(elements[0].editable);
  EXPECT_EQ(elements[0].parent, 0);
  EXPECT_EQ(elements[0].text, "Hi");
  EXPECT_FALSE(elements[1].editable);
  EXPECT_EQ(elements[1].parent, -1);  // not a number
  EXPECT_EQ(elements[2].tag, "B");    // a short record leaves the rest empty
  EXPECT_EQ(elements[2].parent, -1);

  const auto described = pq::engine::DescribedElement(
      pq::engine::PackRecords({{"DIV", "d", "1", "p", "BODY", "<b>x</b>", "x"}}));
  ASSERT_TRUE(described);
  EXPECT_EQ(described->parentTag, "BODY");
  EXPECT_EQ(described->html, "<b>x</b>");
  EXPECT_FALSE(pq::engine::DescribedElement(""));  // no element
}

TEST(PackedRecords, SpansKeepTheFirstOfEachId) {
  const auto spans = pq::engine::SpansFromRecords(
      {{"ZZZEDIT1", "one"}, {"ZZZANCHOR1", "<a>l</a>", "l", "m"}, {"ZZZEDIT1", "again"}, {"short"}});
  EXPECT_EQ(spans.elements.size(), 2u);
  EXPECT_EQ(*spans.InnerHTML("ZZZEDIT1"), "one");
  EXPECT_EQ(spans.EditableLinkHTML("ZZZANCHOR1"), (std::vector<std::string>{"l", "m"}));
}

TEST(PackedRecords, SnapshotRebuildsTheFrameTree) {
  const auto snapshot = pq::engine::SnapshotFromRecords({{"0", "1", "top", "<html>", "T"},
                                                         {"1", "1", "a", "A", ""},
                                                         {"2", "", "", "", ""},
                                                         {"1", "1", "b", "B", ""}});
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->location, "top");
  ASSERT_EQ(snapshot->frames.size(), 2u);
  EXPECT_EQ(snapshot->frames[0].location, "a");
  ASSERT_EQ(snapshot->frames[0].frames.size(), 1u);
  EXPECT_FALSE(snapshot->frames[0].frames[0].readable);
  EXPECT_EQ(snapshot->frames[1].outerHTML, "B");
  // A depth that skips a level, a second top or a short record is not a tree.
  const std::vector<std::vector<PackedRecord>> broken = {
      {},
      {{"1", "1", "", "", ""}},
      {{"0", "1", "", "", ""}, {"2", "1", "", "", ""}},
      {{"0", "1", "", "", ""}, {"0", "1", "", "", ""}},
      {{"0", "1", "", ""}},
  };
  for (const auto& b : broken) EXPECT_FALSE(pq::engine::SnapshotFromRecords(b));
}

TEST(PackedRecords, ActivationReadHeadsItsElements) {
  const auto read = pq::engine::ActivationReadFromRecords(
      {{"<html><!--OrigURL=x--></html>", "2"}, {"SPAN", "ZZZEDIT1", "-1", "Hi ", "Hi "}});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->markersAndMeta, "<html><!--OrigURL=x--></html>");
  EXPECT_EQ(read->frameCount, 2);
  ASSERT_EQ(read->elements.size(), 1u);
  EXPECT_EQ(read->elements[0].html, "Hi ");
  EXPECT_EQ(read->elements[0].parent, -1);
  EXPECT_FALSE(pq::engine::ActivationReadFromRecords({}));
  // Changes pack as [index, property, value] records.
  EXPECT_EQ(pq::engine::UnpackRecords(pq::engine::PackChanges({{3, "innerHTML", "a\x1e"}})),
            (std::vector<PackedRecord>{{"3", "innerHTML", "a\x1e"}}));
}

}  // namespace
