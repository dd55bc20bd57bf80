#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

/// How to turn one byte image into another: the runs of the first that differ, each with the
/// bytes that replace it. Images of equal size keep each differing run apart (runs closer than
/// a few bytes are joined); images of different sizes differ in one run between their common
/// start and their common end.
class TByteDelta {
 public:
  /// The runs that turn `from` into `to`.
  static TByteDelta Between(std::span<const uint8_t> from, std::span<const uint8_t> to);
  /// `from` with the runs replaced: `to` when `from` is the image the delta was made from.
  /// An image too short for the runs gives an empty result.
  std::vector<uint8_t> ApplyTo(std::span<const uint8_t> from) const;

  bool Empty() const { return runs_.empty(); }
  /// The memory the delta holds.
  size_t Bytes() const;

 private:
  /// `removed` bytes of the image at `at` are replaced by `length` bytes of `bytes_` at `offset`.
  struct TRun {
    size_t at;
    size_t removed;
    size_t offset;
    size_t length;
  };
  void AddRun(std::span<const uint8_t> to, size_t at, size_t removed, size_t toAt, size_t length);

  std::vector<TRun> runs_;
  std::vector<uint8_t> bytes_;
};
