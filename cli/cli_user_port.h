#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/user_port.h"

/// The user of the command-line tool is not there to answer: every question gets the safe choice
/// (No, or Cancel where there is no No) and messages are kept as lines for standard error, which
/// the tool prints when a command succeeds (a refused command prints only its one reason).
class TCliUserPort : public TUserPort {
 public:
  TMessageAnswer Show(const TMessage& message) override;
  /// Writes the kept lines and forgets them.
  void PrintTo(std::FILE* out);

 private:
  std::vector<std::string> lines_;
};
