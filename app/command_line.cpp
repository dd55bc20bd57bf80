#include "app/command_line.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine result;
  bool seenFile = false;
  bool seenWizard = false;
  bool seenImport = false;
  for (size_t i = 0; i < arguments.size(); i += 2) {
    const std::string& option = arguments[i];
    if (i + 1 >= arguments.size())
      return {};
    const std::string& value = arguments[i + 1];
    bool* seen = nullptr;
    std::string* target = nullptr;
    if (option == "-f") {
      seen = &seenFile;
      target = &result.file;
    } else if (option == "-w") {
      seen = &seenWizard;
      target = &result.wizardFile;
    } else if (option == "--import") {
      seen = &seenImport;
      target = &result.importFile;
    } else {
      return {};
    }
    if (*seen)
      return {};
    *seen = true;
    *target = value;
  }
  return result;
}
