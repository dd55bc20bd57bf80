#include "presentation/typing_completion.h"

#include <algorithm>
#include <cctype>

#include "core/cp1252.h"

namespace {

/// Whether `text` holds `part` at `at`, case-blind.
bool HoldsAt(std::string_view text, size_t at, std::string_view part) {
  if (text.size() - at < part.size())
    return false;
  for (size_t i = 0; i < part.size(); ++i) {
    if (FoldCp1252(text[at + i]) != FoldCp1252(part[i]))
      return false;
  }
  return true;
}

bool WordCharacter(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  // Windows-1252 letters above 0x7F count as letters.
  return std::isalnum(u) != 0 || (u >= 0xC0 && u != 0xD7 && u != 0xF7) || u == 0x8A || u == 0x8C ||
         u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F;
}

bool HasWordStarting(std::string_view text, std::string_view part) {
  for (size_t at = 1; at < text.size(); ++at) {
    if (!WordCharacter(text[at - 1]) && WordCharacter(text[at]) && HoldsAt(text, at, part))
      return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> NameMatches(const std::vector<std::string>& names, std::string_view typed,
                                     size_t limit) {
  std::vector<std::string> found;
  if (typed.empty())
    return found;
  for (const std::string& name : names) {
    if (found.size() < limit && HoldsAt(name, 0, typed))
      found.push_back(name);
  }
  for (const std::string& name : names) {
    if (found.size() < limit && !HoldsAt(name, 0, typed) && HasWordStarting(name, typed))
      found.push_back(name);
  }
  return found;
}

void TTypingCompletion::Show(int index) {
  selected_ = index;
  text_ = typed_;
  tailStart_ = typed_.size();
  if (index < 0)
    return;
  const std::string& match = matches_[static_cast<size_t>(index)];
  if (HoldsAt(match, 0, typed_)) {
    text_ += match.substr(typed_.size());
  } else {
    text_ = match;
    tailStart_ = text_.size();
  }
}

void TTypingCompletion::Typed(std::string_view text) {
  const bool grew = text.size() > typed_.size();
  typed_.assign(text);
  matches_ = matcher_(typed_);
  // Only a match that extends the typing completes it inline; the others wait in the list.
  Show(grew && !matches_.empty() && HoldsAt(matches_.front(), 0, typed_) ? 0 : -1);
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
