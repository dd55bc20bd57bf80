#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

/// What one run of a command-line program gave back.
struct TCliRun {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs `program arguments` through the shell as a script would, capturing both outputs in files
/// of `scratch`.
inline TCliRun RunProgram(const std::string& program, const std::string& arguments,
                          const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / "stdout.txt";
  const std::filesystem::path err = scratch / "stderr.txt";
  const std::string command =
      program + " " + arguments + " >" + out.string() + " 2>" + err.string();
  const int raw = std::system(command.c_str());
  TCliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFileBytes(out);
  run.err = ReadFileBytes(err);
  return run;
}
