#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Inline completion of a text cell as the user types, with the list of the best matches below
/// it. Texts are the model's 8-bit text. The editor shows `Text()` with everything after
/// `TypedLength()` selected, so that typing on replaces the completed tail.
class TTypingCompletion {
 public:
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
};
