#pragma once

#include <string>
#include <vector>

/// The registration an older installation left behind: a key file with an `UninstallString=`
/// entry in its `[Vorla]` group, whose value is the command that removes it.
namespace uninstall_entry {

/// The old registration held its value in a buffer of this many bytes, terminator included.
constexpr size_t kValueBufferBytes = 256;
/// The longest command line the old installer could start, terminator included.
constexpr size_t kCommandLineBytes = 1024;

/// Finds the uninstall command in the key file's text. False when the file is binary (holds a
/// NUL byte), has no such entry, the value is empty, malformed or does not fit the buffer.
bool FindUninstallString(const std::string& keyFile, std::string& value);

/// Splits a command into its arguments by the quoting rules of a desktop entry's `Exec` key:
/// arguments are separated by blanks; an argument may be enclosed in double quotes, inside
/// which a backslash escapes `"`, `` ` ``, `$` and `\`; the characters a shell would treat
/// specially must not appear unquoted. False (and no arguments) for a malformed command.
bool SplitCommand(const std::string& command, std::vector<std::string>& arguments);

}  // namespace uninstall_entry
