#include "core/byte_delta.h"

#include <algorithm>

namespace {

// Equal bytes between two differing runs that are cheaper kept inside one run than paid for
// with a second run's bookkeeping.
constexpr size_t kJoinGap = 16;

}  // namespace

void TByteDelta::AddRun(std::span<const uint8_t> to, size_t at, size_t removed, size_t toAt,
                        size_t length) {
  runs_.push_back({at, removed, bytes_.size(), length});
  bytes_.insert(bytes_.end(), to.begin() + static_cast<std::ptrdiff_t>(toAt),
                to.begin() + static_cast<std::ptrdiff_t>(toAt + length));
}

TByteDelta TByteDelta::Between(std::span<const uint8_t> from, std::span<const uint8_t> to) {
  TByteDelta delta;
  if (from.size() != to.size()) {
    const size_t shorter = std::min(from.size(), to.size());
    size_t head = 0;
    while (head < shorter && from[head] == to[head])
      ++head;
    size_t tail = 0;
    while (tail < shorter - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
      ++tail;
    delta.AddRun(to, head, from.size() - head - tail, head, to.size() - head - tail);
    return delta;
  }
  size_t index = 0;
  while (index < from.size()) {
    if (from[index] == to[index]) {
      ++index;
      continue;
    }
    const size_t start = index;
    size_t end = index + 1;  // one past the last differing byte of the run
    for (size_t probe = end; probe < from.size() && probe < end + kJoinGap; ++probe) {
      if (from[probe] != to[probe])
        end = probe + 1;
    }
    delta.AddRun(to, start, end - start, start, end - start);
    index = end;
  }
  return delta;
}

std::vector<uint8_t> TByteDelta::ApplyTo(std::span<const uint8_t> from) const {
  std::vector<uint8_t> to;
  to.reserve(from.size() + bytes_.size());
  size_t read = 0;
  for (const TRun& run : runs_) {
    if (run.at < read || run.at + run.removed > from.size())
      return {};
    to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(read),
              from.begin() + static_cast<std::ptrdiff_t>(run.at));
    to.insert(to.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(run.offset),
              bytes_.begin() + static_cast<std::ptrdiff_t>(run.offset + run.length));
    read = run.at + run.removed;
  }
  to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(read), from.end());
  return to;
}

size_t TByteDelta::Bytes() const {
  return sizeof(*this) + runs_.capacity() * sizeof(TRun) + bytes_.capacity();
}
