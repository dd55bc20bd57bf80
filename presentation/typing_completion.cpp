#include "presentation/typing_completion.h"

#include <algorithm>

void TTypingCompletion::Show(int index) {
  selected_ = index;
  text_ = typed_;
  if (index >= 0)
    text_ += matches_[static_cast<size_t>(index)].substr(typed_.size());
}

void TTypingCompletion::Typed(std::string_view text) {
  const bool grew = text.size() > typed_.size();
  typed_.assign(text);
  matches_ = matcher_(typed_);
  Show(grew && !matches_.empty() ? 0 : -1);
}

std::string TTypingCompletion::Accepted() const {
  return selected_ >= 0 ? matches_[static_cast<size_t>(selected_)] : text_;
}

bool TTypingCompletion::Next() {
  if (matches_.empty())
    return false;
  Show(std::min(selected_ + 1, static_cast<int>(matches_.size()) - 1));
  return true;
}

bool TTypingCompletion::Previous() {
  if (matches_.empty())
    return false;
  Show(selected_ - 1 < 0 ? -1 : selected_ - 1);
  return true;
}

bool TTypingCompletion::Drop() {
  if (matches_.empty() && selected_ < 0)
    return false;
  matches_.clear();
  Show(-1);
  return true;
}
