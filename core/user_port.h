#pragma once

#include <string>

/// Buttons of a message box.
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

/// The icon of a message box.
enum class TMessageIcon { None, Error, Exclamation, Information, Question };

/// The button the user chose.
enum class TMessageAnswer { Ok, Cancel, Yes, No };

/// One message box as the model asks for it.
struct TMessage {
  std::string caption;
  std::string text;
  TMessageButtons buttons = TMessageButtons::Ok;
  TMessageIcon icon = TMessageIcon::None;
};

/// How the model reaches the user: it never shows anything itself. The desktop program answers
/// with real message boxes and dialogs; tests script the answers and record what was asked.
/// Texts are in the file encoding (Windows-1252); the port converts them for display.
class TUserPort {
 public:
  virtual ~TUserPort() = default;
  /// Shows a message box and returns the button chosen (Ok for a plain message).
  virtual TMessageAnswer Show(const TMessage& message) = 0;
  /// The short warning sound that accompanies some refusals.
  virtual void Beep() {}

  /// Shorthand for a message with only an OK button.
  void Tell(std::string caption, std::string text, TMessageIcon icon) {
    Show(TMessage{std::move(caption), std::move(text), TMessageButtons::Ok, icon});
  }
  /// Shorthand for a question; returns the button chosen.
  TMessageAnswer Ask(std::string caption, std::string text, TMessageButtons buttons,
                     TMessageIcon icon) {
    return Show(TMessage{std::move(caption), std::move(text), buttons, icon});
  }
};
