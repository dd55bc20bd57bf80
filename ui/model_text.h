#pragma once

#include <QString>
#include <optional>
#include <string>

class QWidget;
class TUserPort;

/// Budget and configuration texts are Windows-1252; the windows speak Unicode. These helpers are
/// the one crossing between them.

/// A model text for display.
QString FromModel(const std::string& text);

/// A message text for display. Messages about files carry the file's name as the system spells
/// it (UTF-8) inside text of the file encoding; a message that is valid UTF-8 is read as such,
/// any other as Windows-1252 (whose accented letters never form valid UTF-8 in practice).
QString FromMessage(const std::string& text);

/// A typed text for the model, or nothing when it holds a character that Windows-1252 cannot
/// store.
std::optional<std::string> ToModel(const QString& text);

/// Like ToModel, but tells the user (caption "Error") which field holds the character that
/// cannot be stored, and puts the focus back into `field` with its text selected.
std::optional<std::string> ToModelOrRefuse(const QString& text, QWidget* field,
                                           const QString& fieldName, TUserPort& user);
