#pragma once
#include <glib-object.h>

#include <memory>
#include <utility>

namespace pq::engine {

// Owns one reference to a GObject; the reference is dropped when the pointer goes.
template <typename T>
class GObjectPtr {
 public:
  GObjectPtr() = default;
  // Takes over a reference the caller owns (a "transfer full" return value).
  explicit GObjectPtr(T* owned) : p_(owned) {}
  GObjectPtr(const GObjectPtr& o) : p_(o.p_) { if (p_) g_object_ref(p_); }
  GObjectPtr(GObjectPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  GObjectPtr& operator=(GObjectPtr o) noexcept { std::swap(p_, o.p_); return *this; }
  ~GObjectPtr() { if (p_) g_object_unref(p_); }

  // Adds a reference of our own to an object someone else owns ("transfer none").
  static GObjectPtr Ref(T* borrowed) {
    if (borrowed) g_object_ref(borrowed);
    return GObjectPtr(borrowed);
  }
  // For floating references (fresh GTK widgets): sinks them so that we own one.
  static GObjectPtr Sink(T* floating) {
    if (floating) g_object_ref_sink(floating);
    return GObjectPtr(floating);
  }

  T* get() const { return p_; }
  // Hands our reference to the caller (to a field that a finalizer drops, say).
  [[nodiscard]] T* release() { return std::exchange(p_, nullptr); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
// A string the caller must g_free.
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter {
  void operator()(GError* e) const { g_error_free(e); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace pq::engine
