#pragma once

#include <cstdint>
#include <vector>

class ipstream;
class opstream;

/// Gives out the identifiers of one list of identified things: 1, 2, 3 ... in order of creation.
/// Identifier 0 means "none" and is never given out; a retired identifier stays taken for ever.
class TIdList {
 public:
  enum State : uint8_t { kFree = 0, kInUse = 1, kRetired = 2 };
  /// The record version written in front of the stored form.
  static constexpr uint32_t kRecordVersion = 1;

  explicit TIdList(uint32_t growth) : growth_(growth) {}

  /// Takes the identifier after the highest one ever taken, growing the array when needed.
  uint32_t Allocate();
  /// Marks a taken identifier retired; identifiers that are not taken are ignored.
  void Retire(uint32_t id);
  bool IsTaken(uint32_t id) const;

  uint32_t Growth() const { return growth_; }
  uint32_t Size() const { return static_cast<uint32_t>(states_.size()); }
  /// One state byte per identifier, entry 0 included.
  const std::vector<uint8_t>& States() const { return states_; }

  /// word32 record version, word32 growth, word32 size, then the state bytes.
  void Write(opstream& os) const;
  /// Replaces the contents with the stored form; the record version is not looked at.
  void Read(ipstream& is);

 private:
  uint32_t growth_;
  std::vector<uint8_t> states_;
};
