#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/unattended_user_port.h"

namespace bench {

/// The user of a benchmarked import: picks the account the import goes to and accepts the
/// options dialog as proposed.
class TImportPort final : public TUnattendedUserPort {
 public:
  uint32_t account = 0;
  bool ChooseAccount(const std::string&, const std::vector<TItemChoice>&,
                     uint32_t& chosen) override {
    chosen = account;
    return true;
  }
  bool EditImportOptions(TImportDialogState&) override { return true; }
};

}  // namespace bench
