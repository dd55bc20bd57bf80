#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TUserPort;

/// The rule of the name fields of the properties dialogs, applied when the dialog is closed with
/// OK: blanks around the name go, and an empty name or one that `takenNames` holds exactly is
/// refused with a beep and a message. Gives the trimmed name, or nothing when it was refused and
/// the dialog must stay open.
std::optional<std::string> CheckUniqueLabel(std::string_view entered,
                                            const std::vector<std::string>& takenNames,
                                            TUserPort& user);

/// Shortens a text to the characters a stored field of `capacity` holds (one goes to the
/// terminator), so that what is written can always be read back.
std::string FitField(std::string_view text, size_t capacity);
