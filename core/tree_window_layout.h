#pragma once

#include <cstdint>

class ipstream;
class opstream;

/// Where a tree window of the document sits and whether it is open, so that reopening a budget
/// brings its list windows back as they were.
struct TTreeWindowLayout {
  enum ShowState : uint32_t { kMinimized = 1, kMaximized = 2, kNormal = 3 };
  /// The record version written in front of the fields.
  static constexpr uint32_t kRecordVersion = 1;

  /// The open window, owned by the user interface; never stored.
  void* window = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t showState = kNormal;
  bool open = false;

  /// Writes the record version, the four integers, the show state and the open flag.
  void Write(opstream& os) const;
  /// Reads the fields; `withVersion` says whether the record version precedes them.
  void Read(ipstream& is, bool withVersion);
};
