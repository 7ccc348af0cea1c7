#pragma once
#include <cstddef>
#include <string_view>

namespace pq::site {

// What the bytes received ahead of a request say about it, before any worker reads it: where
// its head ends and how much of its body is worth waiting for, so that a request reaches a
// worker only once it can be read without waiting on the client.
struct RequestHead {
  bool complete = false;         // the blank line after the headers has arrived
  std::size_t size = 0;          // bytes of the head, blank line included
  std::size_t bodyWanted = 0;    // body bytes to wait for: the body, at most preread bytes
  bool expectsContinue = false;  // "Expect: 100-continue": the client waits to be asked
  bool chunked = false;
};

RequestHead InspectRequestHead(std::string_view bytes, std::size_t preread);

// Whether bytes hold a complete head and the body bytes worth waiting for (for a chunked
// body: preread bytes, or its last chunk).
bool RequestReady(std::string_view bytes, std::size_t preread);

}  // namespace pq::site
