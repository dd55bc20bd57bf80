// Inline completion while typing: what the editor shows, what the keys do, what is accepted.
#include "presentation/typing_completion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

/// Known payees, most recent first, matched case-blind over ASCII as the index does.
std::vector<std::string> Known(std::string_view prefix) {
  static const std::vector<std::string> known = {"Grocery Mart", "Green Grocer", "Gas Co", "Rent"};
  std::vector<std::string> found;
  for (const std::string& text : known) {
    if (text.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), text.begin(),
                   [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
      found.push_back(text);
  }
  return found;
}

TEST(TypingCompletionTest, KeysAndTyping) {
  struct Step {
    const char* act;  // "t:TEXT" typed, "down", "up", "esc"
    bool handled;
    std::string shown;
    size_t typedLength;
    std::string accepted;
  };
  const Step steps[] = {
      {"t:g", true, "grocery Mart", 1, "Grocery Mart"},
      {"down", true, "green Grocer", 1, "Green Grocer"},
      {"down", true, "gas Co", 1, "Gas Co"},
      {"down", true, "gas Co", 1, "Gas Co"},  // stays on the last
      {"up", true, "green Grocer", 1, "Green Grocer"},
      {"t:gro", true, "grocery Mart", 3, "Grocery Mart"},  // typing on replaces the tail
      {"t:gro", true, "gro", 3, "gro"},  // Backspace over the tail: not completed again
      {"t:grx", true, "grx", 3, "grx"},
      {"t:gr", true, "gr", 2, "gr"},  // a deletion
      {"t:gre", true, "green Grocer", 3, "Green Grocer"},
      {"esc", true, "gre", 3, "gre"},   // drops the completion, keeps the typing
      {"esc", false, "gre", 3, "gre"},  // nothing offered: Esc is the editor's
      {"down", false, "gre", 3, "gre"},
      {"t:rent", true, "rent", 4, "Rent"},  // typed whole: chosen, as the budget spells it
  };
  TTypingCompletion completion(Known);
  for (const Step& step : steps) {
    const std::string act = step.act;
    bool handled = true;
    if (act.rfind("t:", 0) == 0)
      completion.Typed(act.substr(2));
    else if (act == "down")
      handled = completion.Next();
    else if (act == "up")
      handled = completion.Previous();
    else
      handled = completion.Drop();
    EXPECT_EQ(handled, step.handled) << act;
    EXPECT_EQ(completion.Text(), step.shown) << act;
    EXPECT_EQ(completion.TypedLength(), step.typedLength) << act;
    EXPECT_EQ(completion.Accepted(), step.accepted) << act;
  }
}

TEST(TypingCompletionTest, NamesMatchFromTheStartThenByAnyWord) {
  const std::vector<std::string> names = {"Food: Groceries",
                                          "Groceries Extra",
                                          "Gro\xDF"
                                          "e Dinge",
                                          "Car:Gas",
                                          "Regrow",
                                          "\xC9"
                                          "cole (Groupe)"};
  struct Case {
    const char* typed;
    size_t limit;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"groc", 10, {"Groceries Extra", "Food: Groceries"}},  // the start first, then a word
      {"GRO",
       10,
       {"Groceries Extra",
        "Gro\xDF"
        "e Dinge",
        "Food: Groceries",
        "\xC9"
        "cole (Groupe)"}},
      {"gas", 10, {"Car:Gas"}},
      {"grow", 10, {}},  // inside a word is not a word start
      {"\xE9"
       "co",
       10,
       {"\xC9"
        "cole (Groupe)"}},
      {"gro", 1, {"Groceries Extra"}},
      {"", 10, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NameMatches(names, c.typed, c.limit), c.expected) << c.typed;

  // A match by a later word is listed but not completed inline; the arrows show it whole.
  TTypingCompletion completion(
      [&](std::string_view typed) { return NameMatches(names, typed, 10); });
  completion.Typed("gas");
  EXPECT_EQ(completion.Text(), "gas");
  EXPECT_FALSE(completion.Chosen());
  ASSERT_TRUE(completion.Next());
  EXPECT_EQ(completion.Text(), "Car:Gas");
  EXPECT_EQ(completion.TailStart(), completion.Text().size());
  EXPECT_EQ(completion.Accepted(), "Car:Gas");
}

}  // namespace
