#pragma once

#include <cstddef>
#include <string>

#include "core/result.h"

/// Reads the whole regular file at `path` if it holds at most `maxBytes`. Anything else -
/// missing, a folder, pipe or device (which could block or never end), too large, or failing
/// while it is read - gives the message "cannot read PATH: REASON".
TResult<std::string> ReadRegularFile(const std::string& path, size_t maxBytes);
