#pragma once

#include <memory>
#include <string>

#include "core/file_stamp.h"
#include "core/model_environment.h"
#include "core/vorla_data.h"

/// How every command of quenbrook-cli reads and writes a budget: as the program does, and on
/// failure one line on standard error that says why.

/// The budget at `path`, opened with `environment`; null after the line. `stamp`, when given,
/// receives what the file was as it was read.
std::unique_ptr<TVorlaData> ReadBudgetOrSay(const std::string& path,
                                            const TModelEnvironment& environment,
                                            TFileStamp* stamp = nullptr);

/// Before a command writes over the budget it read: true when the file at `path` is still as
/// `read` describes, or when `force` says to write anyway; false after the line.
bool UnchangedSinceReadOrSay(const std::string& path, const TFileStamp& read, bool force);

/// Saves `document` to `path` safely (a failure leaves the file as it was); false after the line.
bool WriteBudgetOrSay(const std::string& path, TVorlaData& document);
