#include "core/setting_list.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "core/pstream.h"

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const TSettingEntry* TSettingList::Find(std::string_view name, uint32_t scope) const {
  for (const auto& entry : entries_) {
    if (entry.scope == scope && SameName(entry.name, name))
      return &entry;
  }
  return nullptr;
}

bool TSettingList::Contains(std::string_view name, uint32_t scope) const {
  return Find(name, scope) != nullptr;
}

void TSettingList::SetText(std::string_view name, std::string_view value, uint32_t scope) {
  if (auto* entry = const_cast<TSettingEntry*>(Find(name, scope))) {
    entry->value = std::string(value);
    return;
  }
  entries_.push_back(TSettingEntry{std::string(name), std::string(value), scope});
}

void TSettingList::SetNumber(std::string_view name, int32_t number, uint32_t scope) {
  SetText(name, std::to_string(number), scope);
}

std::string TSettingList::GetText(std::string_view name, std::string_view defaultValue,
                                  uint32_t scope) const {
  const TSettingEntry* entry = Find(name, scope);
  return entry ? entry->value : std::string(defaultValue);
}

int32_t TSettingList::GetNumber(std::string_view name, int32_t defaultValue, uint32_t scope) const {
  return ParseNumber(GetText(name, std::to_string(defaultValue), scope));
}

int32_t TSettingList::ParseNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{1} << 32);
  }
  if (negative)
    value = -value;
  value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(value);
}

void TSettingList::Write(opstream& os) const {
  os.WriteWord16(kListVersion);
  os.WriteWord16(static_cast<uint16_t>(entries_.size()));
  for (const auto& entry : entries_) {
    os.WriteString(entry.name);
    os.WriteString(entry.value);
    os.WriteWord32(entry.scope);
  }
}

void TSettingList::Read(ipstream& is) {
  uint16_t version = is.ReadWord16();
  uint16_t count = is.ReadWord16();
  for (uint16_t i = 0; i < count && is.Good(); ++i) {
    TSettingEntry entry;
    is.ReadString(entry.name, kMaxText + 1);
    is.ReadString(entry.value, kMaxText + 1);
    if (version >= 2)
      entry.scope = is.ReadWord32();
    if (is.Good())
      entries_.push_back(std::move(entry));
  }
}
