#include "core/unattended_user_port.h"

TMessageAnswer TUnattendedUserPort::Show(const TMessage& message) {
  std::string text = message.text;
  for (char& c : text) {
    if (c == '\n')
      c = ' ';
  }
  lines_.push_back(message.caption + ": " + text);
  switch (message.buttons) {
    case TMessageButtons::Ok:
      return TMessageAnswer::Ok;
    case TMessageButtons::YesNo:
      return TMessageAnswer::No;
    case TMessageButtons::OkCancel:
    case TMessageButtons::YesNoCancel:
      break;
  }
  return TMessageAnswer::Cancel;
}
