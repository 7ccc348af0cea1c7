#include "engine/in_page_runtime.h"

#include <gtest/gtest.h>

#include "core/frame_path.h"
#include "engine/script_value.h"
#include "engine/web_view.h"
#include "support/file_text.h"

namespace {

TEST(JsStringTest, QuotesTextSoThatItComesBackExactly) {
  const struct {
    std::string text, literal;
  } cases[] = {
      {"", "\"\""},
      {"plain", "\"plain\""},
      {"say \"hi\" \\ bye", "\"say \\\"hi\\\" \\\\ bye\""},
      {"line\r\nnext\ttab", "\"line\\r\\nnext\\ttab\""},
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
      {"</script><!--", "\"</script><!--\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"a\xE2\x80\xA8" "b\xE2\x80\xA9", "\"a\\u2028b\\u2029\""},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::engine::JsString(c.text), c.literal) << c.text;
}

TEST(RuntimeCallTest, SendsOnlyTheCallAndTheRuntimeOnlyWhenAsked) {
  const std::string source(pq::engine::InPageRuntimeSource());
  const std::string call = pq::engine::RuntimeCall("frameCount", pq::FramePathLiteral({1, 0}));
  EXPECT_NE(call.find("window.__pq.frameCount([1,0])"), std::string::npos);
  EXPECT_NE(call.find(pq::engine::kRuntimeMissing), std::string::npos);
  EXPECT_LT(call.size(), 200u);
  const std::string install = pq::engine::RuntimeInstallAndCall("frameCount", "[]");
  EXPECT_EQ(install.rfind(source, 0), 0u);
  EXPECT_NE(install.find("window.__pq.frameCount([])"), std::string::npos);
  EXPECT_EQ(pq::FramePathLiteral({}), "[]");
}

TEST(RuntimeCallTest, EmbeddedRuntimeIsTheScriptInTheTree) {
  const auto file = pqtest::ReadFile(std::string(PQ_SOURCE_DIR) + "/src/engine/in_page_runtime.js");
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(std::string(pq::engine::InPageRuntimeSource()), file);
}

TEST(ScriptValueTest, MissingFieldsReadAsEmpty) {
  pq::engine::ScriptValue v;
  v.kind = pq::engine::ScriptValue::Kind::Object;
  v.fields["n"].kind = pq::engine::ScriptValue::Kind::Number;
  v.fields["n"].number = 1e300;
  EXPECT_EQ(v["missing"]["deeper"][3].Str(), "");
  EXPECT_FALSE(v["missing"].Bool());
  EXPECT_EQ(v["n"].Int(-1), -1);  // out of range for an int
  EXPECT_EQ(v["n"].Str(), "");
}

TEST(ErrorPageTest, HoldsTheTextAndEscapesTheAddress) {
  const std::string page =
      pq::engine::ErrorPageHTML("http://127.0.0.1:1/<script>alert(1)</script>", "Could not connect: \"refused\"");
  EXPECT_NE(page.find("The page cannot be displayed"), std::string::npos);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("&quot;refused&quot;"), std::string::npos);
}

}  // namespace
