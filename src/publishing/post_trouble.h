#pragma once
#include <string>

namespace pq {

// What became of a publication post that brought back no reply the site script wrote: the
// facts the transfer gives, without any network library type.
struct PostTrouble {
  bool answered = false;   // an answer came (any status)
  unsigned status = 0;     // its HTTP status
  bool empty = false;      // the answer had no text at all
  bool timedOut = false;   // no answer came in time
  bool sent = false;       // the whole post was written out
  std::string failure;     // the network library's words when no answer came
};

// One sentence for the user naming the step that failed (sending the post, or its reply). An
// answer that is not the site script's is never quoted: a fragment such as "Up" means nothing.
std::string WhatHappenedToThePost(const PostTrouble& trouble);

}  // namespace pq
