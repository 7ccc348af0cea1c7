#include "publishing/post_trouble.h"

#include <gtest/gtest.h>

namespace {

TEST(WhatHappenedToThePost, NamesTheStepThatFailedInPlainWords) {
  const struct {
    const char* name;
    pq::PostTrouble trouble;
    std::string says;
  } cases[] = {
      {"no connection", {false, 0, false, false, false, "Connection refused"},
       "Pagequill could not send your changes to the website (Connection refused)."},
      {"sent, no answer in time", {false, 0, false, true, true, "no answer in time"},
       "The website did not answer the post of your changes in time."},
      {"sending ran out of time too", {false, 0, false, true, false, ""},
       "The website did not answer the post of your changes in time."},
      {"sent, the answer broke off", {false, 0, false, false, true, "Connection terminated"},
       "The website's reply to the post of your changes broke off (Connection terminated)."},
      {"a gateway's error page", {true, 504, false, false, true, ""},
       "The website answered the post of your changes with an error (HTTP 504) instead of the "
       "Pagequill script's reply."},
      {"an empty answer", {true, 200, true, false, true, ""},
       "The website's reply to the post of your changes was empty."},
      {"a reply cut short is never quoted", {true, 200, false, false, true, ""},
       "The website's reply to the post of your changes was cut short or was not the Pagequill "
       "script's reply."},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::WhatHappenedToThePost(c.trouble), c.says) << c.name;
}

}  // namespace
