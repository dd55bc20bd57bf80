#pragma once

#include <string>

#include "reports/form_engine.h"

/// What "Copy to Clipboard" tells the user when the text cannot be placed there.
struct TClipboardRefusal {
  const char* caption;
  const char* text;
};

/// A report: its printed form through the engine contract, plus the tab-separated texts of
/// "Copy to Clipboard" and "Export to File...". A report reads the document when it is made
/// (and when `Refresh` is called) and never changes it.
class TFormData : public CFWEngine {
 public:
  /// The exact bytes "Export to File..." writes, line ends included.
  virtual std::string ExportText() const = 0;
  /// The plain text "Copy to Clipboard" places, without a terminating zero.
  virtual std::string ClipboardText() const = 0;
  /// The save dialog's title, such as "Export Account Ledger File Name".
  virtual std::string ExportTitle() const = 0;
  /// Whether the clipboard also receives the private "VORLA ENVELOPE LEDGER" marker.
  virtual bool MarksClipboard() const { return false; }
  /// The message for a clipboard text too large to place (or to build).
  virtual TClipboardRefusal ClipboardRefusal() const {
    return {"Error", "Error Allocating Clipboard Space. Try exporting to a file instead."};
  }
};
