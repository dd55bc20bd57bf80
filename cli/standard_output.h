#pragma once

#include <string>
#include <string_view>

/// What quenbrook-cli says and writes. Every command writes its results through here, so that
/// output that never reached its destination (a full disk, a device that refuses it) is a failure
/// with one line that says why, never a success cut short.

/// Prints "quenbrook-cli: ERROR" as one line on standard error; texts from files and paths come
/// out as readable UTF-8.
void PrintError(const std::string& error);

/// Writes `text` to standard output and flushes it. On failure prints one line, `failure` and the
/// system's reason ("cannot write standard output: No space left on device"), and returns false.
bool WriteStandardOutput(std::string_view text,
                         const std::string& failure = "cannot write standard output");

/// Closes standard output when the command is done, so that a failure to deliver what was
/// written is still seen; false after printing one line when it fails. A failure that
/// WriteStandardOutput already reported is not reported twice.
bool CloseStandardOutput();
