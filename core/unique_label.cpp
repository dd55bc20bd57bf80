#include "core/unique_label.h"

#include <algorithm>

#include "core/user_port.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> CheckUniqueLabel(std::string_view entered,
                                            const std::vector<std::string>& takenNames,
                                            TUserPort& user) {
  std::string name(Trim(entered));
  std::string refusal;
  if (name.empty()) {
    refusal = "You must provide a label.";
  } else if (std::find(takenNames.begin(), takenNames.end(), name) != takenNames.end()) {
    refusal = "Label \"" + name + "\" is already in use.  You must use a unique label.";
  } else {
    return name;
  }
  user.Beep();
  user.Tell("Error", refusal, TMessageIcon::Error);
  return std::nullopt;
}

std::string FitField(std::string_view text, size_t capacity) {
  return std::string(text.substr(0, capacity == 0 ? 0 : capacity - 1));
}
