#pragma once

#include <memory>
#include <string>

#include "core/model_environment.h"
#include "core/vorla_data.h"

/// How every command of quenbrook-cli reads and writes a budget: as the program does, and on
/// failure one line on standard error that says why.

/// The budget at `path`, opened with `environment`; null after the line.
std::unique_ptr<TVorlaData> ReadBudgetOrSay(const std::string& path,
                                            const TModelEnvironment& environment);

/// Saves `document` to `path` safely (a failure leaves the file as it was); false after the line.
bool WriteBudgetOrSay(const std::string& path, TVorlaData& document);
