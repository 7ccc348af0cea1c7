#include "engine/signal_connection.h"

#include "engine/gobject_ptr.h"

namespace pq::engine {

SignalConnection::SignalConnection(gpointer instance, const char* signal, GCallback handler, gpointer data,
                                   GConnectFlags flags) {
  g_weak_ref_init(&instance_, instance);
  if (instance) id_ = g_signal_connect_data(instance, signal, handler, data, nullptr, flags);
}

SignalConnection::~SignalConnection() {
  Disconnect();
  g_weak_ref_clear(&instance_);
}

void SignalConnection::Disconnect() {
  if (id_ == 0) return;
  if (GObjectPtr<GObject> object(static_cast<GObject*>(g_weak_ref_get(&instance_))); object)
    g_signal_handler_disconnect(object.get(), id_);
  id_ = 0;
  g_weak_ref_set(&instance_, nullptr);
}

void ConnectWithoutData(gpointer instance, const char* signal, GCallback handler, GConnectFlags flags) {
  g_signal_connect_data(instance, signal, handler, nullptr, nullptr, flags);
}

}  // namespace pq::engine
