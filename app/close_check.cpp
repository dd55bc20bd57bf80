#include "app/close_check.h"

TCloseDecision DecideClose(const TCloseCheckInput& input, TUserPort& user) {
  TCloseDecision decision;
  bool wanted = input.modified || (input.confirmImportOnClose && input.hasNewImports) ||
                (input.confirmClearedOnClose && input.hasPendingCleared);
  if (!wanted)
    return decision;
  if (input.autoSaveMinutes == 0) {
    TMessageAnswer answer = user.Ask("Quenbrook", "File has been modified. Save it now?",
                                     TMessageButtons::YesNoCancel, TMessageIcon::Question);
    if (answer == TMessageAnswer::Cancel) {
      decision.proceed = false;
      return decision;
    }
    if (answer != TMessageAnswer::Yes)
      return decision;
  }
  decision.save = true;
  decision.confirmImports = input.confirmImportOnClose;
  decision.confirmCleared = input.confirmClearedOnClose;
  return decision;
}
