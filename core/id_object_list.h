#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bx_string_list.h"

/// Anything whose items have names and identifiers that choice lists can show and map back.
class TIdObjectList {
 public:
  virtual ~TIdObjectList() = default;
  /// The names of all items in list order.
  virtual TBxStringList Names() const = 0;
  /// The identifier of the first item whose name matches without regard to case; 0 when none.
  virtual uint32_t IdOfName(std::string_view name) const = 0;
  /// The name of the item with the identifier; "error" when no item has it.
  virtual std::string NameOfId(uint32_t id) const = 0;
};

/// A fixed table of names whose identifiers are their 1-based positions.
class TSimpleIdObjectList : public TIdObjectList {
 public:
  explicit TSimpleIdObjectList(std::vector<std::string> names) : names_(std::move(names)) {}

  TBxStringList Names() const override;
  uint32_t IdOfName(std::string_view name) const override;
  std::string NameOfId(uint32_t id) const override;
  size_t Count() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

/// Compares 8-bit texts without regard to case; only ASCII letters fold, so the answer does not
/// depend on the locale.
bool EqualNoCase(std::string_view a, std::string_view b);
/// Orders 8-bit texts without regard to case, by the same folding as `EqualNoCase`.
bool LessNoCase(std::string_view a, std::string_view b);
