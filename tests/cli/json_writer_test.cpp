#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(JsonWriter, TextTakenInPiecesJoinsToTheWhole) {
  TJsonWriter json;
  std::string out;
  json.BeginObject().Key("r").BeginArray();
  for (int i = 0; i < 3; ++i) {
    json.BeginObject().Key("n").Number(i).EndObject();
    out += json.TakeText();
  }
  json.EndArray().Key("v").Bool(false).EndObject();
  out += json.TakeText();
  EXPECT_EQ(out, R"({"r":[{"n":0},{"n":1},{"n":2}],"v":false})");
  EXPECT_EQ(json.Text(), "");
}

}  // namespace
