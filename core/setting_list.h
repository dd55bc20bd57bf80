#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ipstream;
class opstream;

/// One named setting: a name, its value text and the scope it belongs to (0 for the whole
/// document or configuration, else the identifier of an account or other item).
struct TSettingEntry {
  std::string name;
  std::string value;
  uint32_t scope = 0;
};

/// Named settings in the order they were first stored. Names compare without regard to case; an
/// entry is found by name and scope together, and the first match wins.
class TSettingList {
 public:
  /// The longest name or value a stored list may hold.
  static constexpr size_t kMaxText = 1023;
  /// The list format written in front of the entries.
  static constexpr uint16_t kListVersion = 2;

  void SetText(std::string_view name, std::string_view value, uint32_t scope);
  void SetNumber(std::string_view name, int32_t number, uint32_t scope);
  std::string GetText(std::string_view name, std::string_view defaultValue, uint32_t scope) const;
  int32_t GetNumber(std::string_view name, int32_t defaultValue, uint32_t scope) const;
  /// Whether an entry with that name and scope exists.
  bool Contains(std::string_view name, uint32_t scope) const;

  const std::vector<TSettingEntry>& Entries() const { return entries_; }
  void Append(TSettingEntry entry) { entries_.push_back(std::move(entry)); }
  void Clear() { entries_.clear(); }

  /// word16 list version, word16 count, then name, value and word32 scope per entry.
  void Write(opstream& os) const;
  /// Appends the entries read; the scope is read only from list version 2 on.
  void Read(ipstream& is);

  /// Decimal conversion as the settings read numbers: leading blanks, an optional sign, digits up
  /// to the first other character; no digits give 0. Values beyond 32 bits are clamped.
  static int32_t ParseNumber(std::string_view text);

 private:
  const TSettingEntry* Find(std::string_view name, uint32_t scope) const;

  std::vector<TSettingEntry> entries_;
};
