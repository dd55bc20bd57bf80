#include "cli/cli_user_port.h"

#include <string>

#include "core/cp1252.h"

TMessageAnswer TCliUserPort::Show(const TMessage& message) {
  std::string text = Cp1252ToUtf8(message.text);
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  lines_.push_back(Cp1252ToUtf8(message.caption) + ": " + text);
  switch (message.buttons) {
    case TMessageButtons::Ok:
      return TMessageAnswer::Ok;
    case TMessageButtons::OkCancel:
    case TMessageButtons::YesNoCancel:
      return TMessageAnswer::Cancel;
    case TMessageButtons::YesNo:
      return TMessageAnswer::No;
  }
  return TMessageAnswer::Cancel;
}

void TCliUserPort::PrintTo(std::FILE* out) {
  for (const auto& line : lines_) std::fprintf(out, "%s\n", line.c_str());
  lines_.clear();
}
