#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/cp1252.h"

namespace {

bool reported = false;

// The reason of the stdio call that just failed; a failure without one is an input/output error.
int LastReason() {
  return errno != 0 ? errno : EIO;
}

void ReportFailure(const std::string& failure, int reason) {
  if (reported)
    return;
  reported = true;
  PrintError(failure + ": " + std::strerror(reason));
}

}  // namespace

void PrintError(const std::string& error) {
  std::fprintf(stderr, "quenbrook-cli: %s\n", MessageToUtf8(error, true).c_str());
}

bool WriteStandardOutput(std::string_view text, const std::string& failure) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    ReportFailure(failure, LastReason());
    return false;
  }
  return true;
}

bool CloseStandardOutput() {
  errno = 0;
  const bool failedBefore = std::ferror(stdout) != 0;
  if (std::fclose(stdout) != 0 || failedBefore) {
    ReportFailure("cannot write standard output", LastReason());
    return false;
  }
  return true;
}
