// Feeds arbitrary bytes to the reader of an older installation's uninstall registration and to
// the splitting of its command. A value found must fit the old buffer and hold no NUL; a command
// that splits gives at least one argument, a non-empty program name, and arguments that together
// are no longer than the command.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/uninstall_entry.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void CheckSplit(const std::string& command) {
  std::vector<std::string> arguments;
  if (!uninstall_entry::SplitCommand(command, arguments)) {
    Require(arguments.empty());
    return;
  }
  Require(!arguments.empty() && !arguments.front().empty());
  size_t total = 0;
  for (const std::string& argument : arguments)
    total += argument.size();
  Require(total <= command.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string value;
  if (uninstall_entry::FindUninstallString(bytes, value)) {
    Require(!value.empty() && value.size() < uninstall_entry::kValueBufferBytes);
    Require(value.find('\0') == std::string::npos);
    CheckSplit(value);
  }
  CheckSplit(bytes);
  return 0;
}
