#include "transactions/xstore_journal.h"

#include <algorithm>

void TXStoreJournal::NoteImage(uint32_t index, const TXRecord& old) {
  if (!imaged_)
    imaged_ = std::make_unique<std::unordered_set<uint32_t>>();
  if (!imaged_->insert(index).second)
    return;
  changes_.push_back({.kind = TKind::Image,
                      .a = index,
                      .first = static_cast<uint32_t>(images_.size()),
                      .count = 1});
  images_.push_back(old);
}

void TXStoreJournal::NoteMove(uint32_t from, uint32_t to) {
  if (from == to)
    return;
  ForgetImaged();
  changes_.push_back({.kind = TKind::Move, .a = from, .b = to});
}

void TXStoreJournal::NoteSize(uint32_t count, uint32_t capacity, uint32_t lastId) {
  ForgetImaged();
  changes_.push_back({.kind = TKind::Size, .a = count, .b = capacity, .c = lastId});
}

void TXStoreJournal::NoteScatter(uint32_t low, uint32_t high, const std::vector<TMoved>& moved) {
  if (moved.empty())
    return;
  ForgetImaged();
  changes_.push_back({.kind = TKind::Scatter,
                      .a = low,
                      .b = high,
                      .first = static_cast<uint32_t>(moves_.size()),
                      .count = static_cast<uint32_t>(moved.size())});
  moves_.insert(moves_.end(), moved.begin(), moved.end());
}

void TXStoreJournal::Append(const TXStoreJournal& later) {
  ForgetImaged();
  for (TChange change : later.changes_) {
    if (change.kind == TKind::Image)
      change.first += static_cast<uint32_t>(images_.size());
    if (change.kind == TKind::Scatter)
      change.first += static_cast<uint32_t>(moves_.size());
    changes_.push_back(change);
  }
  images_.insert(images_.end(), later.images_.begin(), later.images_.end());
  moves_.insert(moves_.end(), later.moves_.begin(), later.moves_.end());
}

void TXStoreJournal::ForgetImaged() {
  if (imaged_)
    imaged_->clear();
}

size_t TXStoreJournal::Mark() {
  ForgetImaged();
  return changes_.size();
}

TXStoreJournal TXStoreJournal::TakeFrom(size_t mark) {
  TXStoreJournal taken;
  size_t keptImages = images_.size();
  size_t keptMoves = moves_.size();
  for (size_t at = mark; at < changes_.size(); ++at) {
    TChange change = changes_[at];
    if (change.kind == TKind::Image) {
      keptImages = std::min<size_t>(keptImages, change.first);
      change.first = static_cast<uint32_t>(taken.images_.size());
      taken.images_.push_back(images_[changes_[at].first]);
    }
    if (change.kind == TKind::Scatter) {
      keptMoves = std::min<size_t>(keptMoves, change.first);
      const auto from = moves_.begin() + changes_[at].first;
      change.first = static_cast<uint32_t>(taken.moves_.size());
      taken.moves_.insert(taken.moves_.end(), from, from + change.count);
    }
    taken.changes_.push_back(change);
  }
  changes_.resize(std::min(mark, changes_.size()));
  images_.resize(keptImages);
  moves_.resize(keptMoves);
  ForgetImaged();
  return taken;
}

size_t TXStoreJournal::Bytes() const {
  return sizeof(*this) + changes_.capacity() * sizeof(TChange) +
         images_.capacity() * sizeof(TXRecord) + moves_.capacity() * sizeof(TMoved) +
         (imaged_ ? sizeof(*imaged_) + imaged_->size() * 2 * sizeof(void*) +
                        imaged_->bucket_count() * sizeof(void*)
                  : 0);
}

void TXStoreJournal::Seal() {
  imaged_.reset();
  changes_.shrink_to_fit();
  images_.shrink_to_fit();
  moves_.shrink_to_fit();
}

void TXStoreJournal::Clear() {
  changes_.clear();
  images_.clear();
  moves_.clear();
  ForgetImaged();
}
