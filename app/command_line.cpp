#include "app/command_line.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine result;
  bool seenFile = false;
  bool seenWizard = false;
  bool seenImport = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
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
    } else if (!option.empty() && option.front() != '-') {
      // A file named alone, as file managers and shells hand it over, is the budget to open.
      if (seenFile)
        return {};
      seenFile = true;
      result.file = option;
      continue;
    } else {
      return {};
    }
    if (*seen || ++i >= arguments.size())
      return {};
    *seen = true;
    *target = arguments[i];
  }
  return result;
}
