// quenbrook-cli: the budget model without windows, for scripts and tests.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/document_dump.h"
#include "core/clock.h"
#include "core/cp1252.h"
#include "core/document_file.h"
#include "core/unattended_user_port.h"

namespace {

constexpr int kUsageOrUnreadable = 2;

int Usage() {
  std::fputs(
      "usage: quenbrook-cli dump FILE.vrl\n"
      "       quenbrook-cli resave IN.vrl OUT.vrl\n",
      stderr);
  return kUsageOrUnreadable;
}

int Dump(const std::string& path, const TModelEnvironment& environment) {
  std::string error;
  auto document = ReadDocumentFile(path, environment, error);
  if (!document) {
    std::fprintf(stderr, "quenbrook-cli: %s\n", error.c_str());
    return kUsageOrUnreadable;
  }
  std::string json = DumpDocument(*document);
  std::fwrite(json.data(), 1, json.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

int Resave(const std::string& in, const std::string& out, const TModelEnvironment& environment) {
  std::string error;
  auto document = ReadDocumentFile(in, environment, error);
  if (!document) {
    std::fprintf(stderr, "quenbrook-cli: %s\n", error.c_str());
    return kUsageOrUnreadable;
  }
  if (!WriteDocumentFile(out, *document, error)) {
    std::fprintf(stderr, "quenbrook-cli: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  TUnattendedUserPort user;
  TSystemClock clock;
  TModelEnvironment environment{user, clock};
  int status = kUsageOrUnreadable;
  if (args.size() == 2 && args[0] == "dump") {
    status = Dump(args[1], environment);
  } else if (args.size() == 3 && args[0] == "resave") {
    status = Resave(args[1], args[2], environment);
  } else {
    return Usage();
  }
  // A refused command prints only its one reason; messages matter when the command worked.
  if (status == 0) {
    for (const auto& line : user.Lines()) std::fprintf(stderr, "%s\n", Cp1252ToUtf8(line).c_str());
  }
  return status;
}
