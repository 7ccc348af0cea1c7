#pragma once
#include <glib-object.h>

#include <list>

namespace pq::engine {

// One handler connected to a signal of a GObject, disconnected when this goes. The handler's
// data is its owner, so the owner holds the connection and a handler can never run after the
// owner has gone. The object may go first: the connection then has nothing left to do.
class SignalConnection {
 public:
  SignalConnection(gpointer instance, const char* signal, GCallback handler, gpointer data,
                   GConnectFlags flags = GConnectFlags(0));
  ~SignalConnection();
  SignalConnection(const SignalConnection&) = delete;
  SignalConnection& operator=(const SignalConnection&) = delete;

  void Disconnect();
  bool Connected() const { return id_ != 0; }

 private:
  GWeakRef instance_;  // the object may be finalized before us
  gulong id_ = 0;
};

// The connections of one owner, all disconnected when the owner's member goes. Declare it after
// the objects whose signals it connects, so it goes first.
class SignalConnections {
 public:
  SignalConnections() = default;
  SignalConnections(const SignalConnections&) = delete;
  SignalConnections& operator=(const SignalConnections&) = delete;

  void Connect(gpointer instance, const char* signal, GCallback handler, gpointer data,
               GConnectFlags flags = GConnectFlags(0)) {
    list_.emplace_back(instance, signal, handler, data, flags);
  }
  void ConnectAfter(gpointer instance, const char* signal, GCallback handler, gpointer data) {
    Connect(instance, signal, handler, data, G_CONNECT_AFTER);
  }
  // Drops every handler now (for owners that must tear down their objects first).
  void DisconnectAll() { list_.clear(); }
  std::size_t size() const { return list_.size(); }

 private:
  std::list<SignalConnection> list_;  // a list: each connection keeps its address (GWeakRef)
};

// A handler that takes no data has nothing that could go before the object: it stays connected
// for the object's whole life, with no owner to hold it.
void ConnectWithoutData(gpointer instance, const char* signal, GCallback handler,
                        GConnectFlags flags = GConnectFlags(0));

}  // namespace pq::engine
