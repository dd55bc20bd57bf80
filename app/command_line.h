#pragma once

#include <string>
#include <vector>

/// What the program was asked to do at start-up. An empty field means the option was not given.
struct TCommandLine {
  /// The budget to open ("-f").
  std::string file;
  /// The plan file for a new budget ("-w").
  std::string wizardFile;
  /// A statement to import into the running copy ("--import"), handed over on the import channel.
  std::string importFile;
};

/// Parses the arguments after the program name. Each must be an option name followed by its one
/// argument, or a file name alone (the budget, as with "-f"); no option may appear twice, nor a
/// budget be named twice. Anything else makes the whole parse fail, and then no option is used
/// at all (an empty result).
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
