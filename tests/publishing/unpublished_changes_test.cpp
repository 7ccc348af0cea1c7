#include "publishing/unpublished_changes.h"

#include <gtest/gtest.h>

#include "support/fake_live_documents.h"

namespace {

// A top page with one frame.
struct Live : pqtest::FakeLiveDocuments {
  int FrameCount(const pq::FramePath& f) override { return f.empty() ? 1 : 0; }
};

TEST(UnpublishedChanges, PendingUntilPublished) {
  Live live;
  live.recorded[{}].elements["ZZZEDIT1"] = {"a", {}};
  live.recorded[{0}].elements["ZZZEDIT1"] = {"b", {}};
  live.spans = live.recorded;
  pq::UnpublishedChanges changes;
  EXPECT_FALSE(changes.Pending(live));

  live.spans[{0}].elements["ZZZEDIT1"] = {"B", {}};  // an edit in the frame
  EXPECT_TRUE(changes.Pending(live));
  changes.MarkPublished(live);
  EXPECT_FALSE(changes.Pending(live));

  live.spans[{}].elements["ZZZANCHOR1"] = {"", {"new link text"}};
  EXPECT_TRUE(changes.Pending(live));

  // Another page: its own record is the baseline again.
  changes.Reset();
  live.spans = live.recorded;
  EXPECT_FALSE(changes.Pending(live));
}

TEST(UnpublishedChanges, DocumentsThatCannotBeEditedNeverCount) {
  Live live;
  live.spans[{}].elements["ZZZEDIT1"] = {"engine's own text", {}};  // nothing recorded
  EXPECT_FALSE(pq::UnpublishedChanges().Pending(live));
}

}  // namespace
