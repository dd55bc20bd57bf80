#include "core/bx_string_list.h"

#include <algorithm>

bool TBxStringList::Remove(std::string_view text) {
  auto it = std::find(texts_.begin(), texts_.end(), text);
  if (it == texts_.end())
    return false;
  texts_.erase(it);
  return true;
}

std::string TBxStringList::At(size_t position) const {
  if (position == 0 || position > texts_.size())
    return {};
  return texts_[position - 1];
}

size_t TBxStringList::PositionOf(std::string_view text) const {
  auto it = std::find(texts_.begin(), texts_.end(), text);
  return it == texts_.end() ? 0 : static_cast<size_t>(it - texts_.begin()) + 1;
}
