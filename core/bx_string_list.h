#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// An ordered list of texts that fills choice lists; never stored. Positions count from 1.
class TBxStringList {
 public:
  void Append(std::string text) { texts_.push_back(std::move(text)); }
  /// Removes the first text equal to `text`; false when there is none.
  bool Remove(std::string_view text);
  /// The text at a 1-based position, or the empty text when there is none.
  std::string At(size_t position) const;
  /// The 1-based position of the first exactly equal text, or 0.
  size_t PositionOf(std::string_view text) const;
  size_t Count() const { return texts_.size(); }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};
