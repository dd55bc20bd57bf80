#pragma once

#include <cstddef>
#include <vector>

#include "core/model_error.h"

class TXItem;

/// A growable array of item pointers addressed from 1, for gathering held items before acting
/// on them. It holds no references itself; whoever fills it holds them.
class TXGenericList {
 public:
  static constexpr const char* kBeyondLimit =
      "Attempt to access beyond limit in TXGenericList::operator[].";

  void Add(TXItem* item) { items_.push_back(item); }
  size_t Count() const { return items_.size(); }
  /// The item at a 1-based index; an index outside 1..Count raises the beyond-limit error.
  TXItem*& operator[](size_t index) {
    if (index == 0 || index > items_.size())
      throw TModelError(kBeyondLimit);
    return items_[index - 1];
  }
  TXItem* operator[](size_t index) const {
    if (index == 0 || index > items_.size())
      throw TModelError(kBeyondLimit);
    return items_[index - 1];
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<TXItem*> items_;
};
