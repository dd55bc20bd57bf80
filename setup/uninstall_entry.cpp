#include "setup/uninstall_entry.h"

#include <string_view>
#include <utility>

namespace uninstall_entry {
namespace {

constexpr std::string_view kGroup = "[Vorla]";
constexpr std::string_view kKey = "UninstallString";
// Characters that mean something to a shell and so may appear only inside quotes.
constexpr std::string_view kReserved = "\"'\\><~|&;$*?#()`";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// The escapes of a key file's string values: \s \n \t \r and \\.
bool Unescape(std::string_view raw, std::string& value) {
  value.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      value += raw[i];
      continue;
    }
    if (++i == raw.size())
      return false;
    switch (raw[i]) {
      case 's':
        value += ' ';
        break;
      case 'n':
        value += '\n';
        break;
      case 't':
        value += '\t';
        break;
      case 'r':
        value += '\r';
        break;
      case '\\':
        value += '\\';
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

bool FindUninstallString(const std::string& keyFile, std::string& value) {
  value.clear();
  if (keyFile.find('\0') != std::string::npos)
    return false;
  bool inGroup = false;
  std::string_view rest(keyFile);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty() || line.front() == '#')
      continue;
    if (line.front() == '[') {
      inGroup = line == kGroup;
      continue;
    }
    const size_t equals = line.find('=');
    if (!inGroup || equals == std::string_view::npos || Trim(line.substr(0, equals)) != kKey)
      continue;
    std::string text;
    // The value must fit the old buffer with its terminator; what does not fit is no value.
    if (!Unescape(Trim(line.substr(equals + 1)), text) || text.empty() ||
        text.size() + 1 > kValueBufferBytes)
      return false;
    value = std::move(text);
    return true;
  }
  return false;
}

bool SplitCommand(const std::string& command, std::vector<std::string>& arguments) {
  arguments.clear();
  if (command.size() + 1 > kCommandLineBytes)
    return false;
  std::vector<std::string> result;
  size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ' || command[i] == '\t') {
      ++i;
      continue;
    }
    std::string argument;
    if (command[i] == '"') {
      // A quoted argument runs to the closing quote, which must end the argument.
      for (++i;; ++i) {
        if (i == command.size())
          return false;
        char c = command[i];
        if (c == '"')
          break;
        if (c == '\\') {
          if (++i == command.size())
            return false;
          c = command[i];
          if (c != '"' && c != '`' && c != '$' && c != '\\')
            return false;
        }
        argument += c;
      }
      ++i;
      if (i < command.size() && command[i] != ' ' && command[i] != '\t')
        return false;
    } else {
      for (; i < command.size() && command[i] != ' ' && command[i] != '\t'; ++i) {
        if (kReserved.find(command[i]) != std::string_view::npos || command[i] == '\n' ||
            command[i] == '\r')
          return false;
        argument += command[i];
      }
    }
    result.push_back(std::move(argument));
  }
  if (result.empty() || result.front().empty())
    return false;
  arguments = std::move(result);
  return true;
}

}  // namespace uninstall_entry
