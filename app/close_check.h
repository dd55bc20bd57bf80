#pragma once

#include <cstdint>

#include "core/user_port.h"

/// What the close check knows about the open budget and the user's switches.
struct TCloseCheckInput {
  bool modified = false;
  bool hasNewImports = false;
  bool hasPendingCleared = false;
  bool confirmImportOnClose = true;
  bool confirmClearedOnClose = true;
  uint32_t autoSaveMinutes = 5;
};

/// What to do before the budget is closed.
struct TCloseDecision {
  /// False when the user cancelled: nothing is closed.
  bool proceed = true;
  bool save = false;
  /// Confirm the pending imports and cleared marks before saving.
  bool confirmImports = false;
  bool confirmCleared = false;
};

/// Decides whether to save before closing: a modified budget, or pending imports or cleared
/// marks that the switches say to confirm, count as unsaved changes. With auto-save on the save
/// happens without a question; otherwise the user is asked (Yes, No or Cancel).
TCloseDecision DecideClose(const TCloseCheckInput& input, TUserPort& user);
