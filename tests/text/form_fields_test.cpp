#include "text/form_fields.h"

#include <gtest/gtest.h>

namespace {

TEST(FormFields, BodyKeepsTheOrderAndEncodesEveryByte) {
  pq::FormFields f;
  f.AddField("passkey", "-5");
  f.AddField("hash", "0a1b");
  f.AddField("file", "news/latest items.htm");
  f.AddField("html", "a&b<c> \"q\" 50%+1=2\r\n\xC3\xA9\xE2\x82\xAC&amp;@~@#@~@");
  EXPECT_EQ(f.Body(),
            "passkey=-5&hash=0a1b&file=news%2Flatest+items.htm&"
            "html=a%26b%3Cc%3E+%22q%22+50%25%2B1%3D2%0D%0A%C3%A9%E2%82%AC%26amp%3B%40%7E%40%23%40%7E%40");
}

TEST(FormFields, TextValuesGoInThePagesCharacterSet) {
  pq::FormFields f;
  f.SetCharset("koi8-r");
  f.AddField("html", "\xD0\x9F \xE2\x82\xAC");  // П €
  f.AddFieldBytes("raw", "\xF0\x01");
  EXPECT_EQ(f.Body(), "html=%F0+%26%238364%3B&raw=%F0%01");
  f.Reset();
  EXPECT_EQ(f.Body(), "");
  f.SetCharset("iso-8859-1");
  f.AddField("t", "\xC3\xA9");
  EXPECT_EQ(f.Body(), "t=%E9");
}

}  // namespace
