#pragma once

#include <string>
#include <vector>

class TClock;

inline constexpr int kImportBadUsage = -1;

/// `quenbrook-cli import BUDGET.vrl STATEMENT --account ID [--all]
/// [--allow-duplicate-check-numbers] [--since MM/DD/YYYY] [--envelope ID] [--force]`: the import of
/// a QIF or OFX statement into one account, as the program runs it with the options dialog
/// accepted: the account's stored options and the proposal to keep every line, overridden by the
/// switches. Prints one JSON object with the options used and what became of every statement line,
/// and saves the budget in place, unless another program changed it meanwhile (status 2; `--force`
/// writes anyway). `args` are the words after the program name. Returns the exit
/// status (2 for a statement or budget that cannot be read), or kImportBadUsage when the words
/// are no import command.
int RunImportCommand(const std::vector<std::string>& args, const TClock& clock);
