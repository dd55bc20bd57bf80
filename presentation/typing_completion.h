#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Inline completion of a text cell as the user types, with the list of the best matches below
/// it. Texts are the model's 8-bit text. The editor shows `Text()` with everything after
/// `TailStart()` selected, so that typing on replaces the completed tail. A match that does not
/// begin with the typed text (one found by a later word) is listed, and shown whole when the
/// arrows reach it, but never completed inline.
class TTypingCompletion {
 public:
  /// The most matches a list shows.
  static constexpr size_t kListed = 10;

  /// The known texts that start with a prefix, best first.
  using TMatcher = std::function<std::vector<std::string>(std::string_view prefix)>;

  explicit TTypingCompletion(TMatcher matcher) : matcher_(std::move(matcher)) {}

  /// The editor now holds `text` by the user's hand. A text that only shrank (a deletion) is
  /// not completed again, or Backspace could never remove the tail.
  void Typed(std::string_view text);
  /// Down and Up walk the list (Up from the first match goes back to the typed text); false
  /// when there is no list, so that the key moves the grid instead.
  bool Next();
  bool Previous();
  /// Esc: drops the completion and keeps what was typed; false when nothing was offered, so
  /// that Esc closes the editor as usual.
  bool Drop();

  const std::string& Text() const { return text_; }
  size_t TypedLength() const { return typed_.size(); }
  /// Where the selected completed tail begins: the typed length, or the end of the text when
  /// the match shown does not extend what was typed.
  size_t TailStart() const { return tailStart_; }
  const std::vector<std::string>& Matches() const { return matches_; }
  /// The match shown, -1 for none.
  int Selected() const { return selected_; }
  /// Whether the editor shows a known text whole, which accepting chooses.
  bool Chosen() const { return selected_ >= 0; }
  /// What accepting hands over: a chosen match as the budget spells it, else the text shown.
  std::string Accepted() const;

 private:
  void Show(int index);

  TMatcher matcher_;
  std::string typed_;
  std::string text_;
  std::vector<std::string> matches_;
  int selected_ = -1;
  size_t tailStart_ = 0;
};

/// The names of `names` that begin with `typed`, then those with a later word that does ("groc"
/// finds "Food: Groceries"), each group in the list's order, case-blind over Windows-1252;
/// at most `limit`, none for an empty text. A word begins after any character that is not a
/// letter or a digit.
std::vector<std::string> NameMatches(const std::vector<std::string>& names, std::string_view typed,
                                     size_t limit);
