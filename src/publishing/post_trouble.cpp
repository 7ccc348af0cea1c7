#include "publishing/post_trouble.h"

namespace pq {

std::string WhatHappenedToThePost(const PostTrouble& t) {
  const std::string words = t.failure.empty() ? "" : " (" + t.failure + ")";
  if (t.answered) {
    if (t.status != 0 && t.status != 200)
      return "The website answered the post of your changes with an error (HTTP " +
             std::to_string(t.status) + ") instead of the Pagequill script's reply.";
    if (t.empty) return "The website's reply to the post of your changes was empty.";
    return "The website's reply to the post of your changes was cut short or was not the "
           "Pagequill script's reply.";
  }
  if (t.timedOut) return "The website did not answer the post of your changes in time.";
  if (!t.sent) return "Pagequill could not send your changes to the website" + words + ".";
  return "The website's reply to the post of your changes broke off" + words + ".";
}

}  // namespace pq
