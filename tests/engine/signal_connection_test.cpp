#include "engine/signal_connection.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/gobject_ptr.h"

namespace {

using pq::engine::GObjectPtr;
using pq::engine::SignalConnection;
using pq::engine::SignalConnections;

void Count(GCancellable*, gpointer data) { ++*static_cast<int*>(data); }

TEST(SignalConnectionTest, AHandlerRunsOnlyWhileItsConnectionLives) {
  GObjectPtr<GCancellable> object(g_cancellable_new());
  int calls = 0;
  {
    SignalConnection c(object.get(), "cancelled", G_CALLBACK(Count), &calls);
    EXPECT_TRUE(c.Connected());
    g_cancellable_cancel(object.get());
    EXPECT_EQ(calls, 1);
  }
  g_cancellable_reset(object.get());
  g_cancellable_cancel(object.get());
  EXPECT_EQ(calls, 1);
}

TEST(SignalConnectionTest, TheObjectMayGoFirst) {
  int calls = 0;
  SignalConnections connections;
  {
    GObjectPtr<GCancellable> object(g_cancellable_new());
    connections.Connect(object.get(), "cancelled", G_CALLBACK(Count), &calls);
    connections.ConnectAfter(object.get(), "cancelled", G_CALLBACK(Count), &calls);
    g_cancellable_cancel(object.get());
    EXPECT_EQ(calls, 2);
  }
  EXPECT_EQ(connections.size(), 2u);
  connections.DisconnectAll();  // nothing left to disconnect, and no crash
  EXPECT_EQ(connections.size(), 0u);
}

}  // namespace
