#include "cli/json_writer.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonWriter, NestsWithCommasAndEscapes) {
  TJsonWriter json;
  json.BeginObject()
      .Key("a")
      .Number(-1)
      .Key("b")
      .BeginArray()
      .String("x\"y\\z\n")
      .Bool(true)
      .Null()
      .BeginObject()
      .EndObject()
      .EndArray()
      .Key("c")
      .String(std::string("\x01", 1))
      .Key("d")
      .Unsigned(4294967295u)
      .EndObject();
  EXPECT_EQ(json.Text(), R"({"a":-1,"b":["x\"y\\z\n",true,null,{}],"c":"\u0001","d":4294967295})");
}

}  // namespace
