#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/vorla_config.h"
#include "app/vorla_shell.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/model_environment.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/account_wizard.h"
#include "transactions/xmanager.h"
#include "ui/main_frame.h"
#include "ui/vorla_app.h"

namespace ui_test {

/// Writes "Home.vrl" in `dir`: the envelopes Unallocated, Groceries, Dining and Rent and the
/// given accounts. Empty on success, else the reason.
inline std::string WriteHomeBudget(const QTemporaryDir& dir, const TClock& clock,
                                   const std::vector<TWizardAccount>& accounts) {
  TUnattendedUserPort quiet;
  TModelEnvironment environment{quiet, clock};
  TVorlaData document(environment);
  document.AddStarterEnvelope();
  for (const char* name : {"Groceries", "Dining", "Rent"})
    document.Envelopes().AddEnvelope(document.Envelopes().Root(), name, true);
  TAccountWizard wizard(TransactionsOf(document));
  for (const TWizardAccount& account : accounts)
    wizard.AddAccount(account);
  const TResult<void> written =
      WriteDocumentFile(dir.filePath(QStringLiteral("Home.vrl")).toStdString(), document);
  return written ? std::string() : written.Error();
}

/// The program opened on "Home.vrl" in `dir`, with its configuration and locks there too and no
/// update reminder, shown at 1200 by 800. Null when the budget did not open.
inline std::unique_ptr<TVorlaApp> StartOnHomeBudget(const QTemporaryDir& dir, const TClock& clock) {
  TVorlaAppSetup setup;
  setup.configPath = dir.filePath(QStringLiteral("Vorla.cfg")).toStdString();
  setup.lockFolder = dir.filePath(QStringLiteral("locks")).toStdString();
  auto app = std::make_unique<TVorlaApp>(
      setup, clock,
      ParseCommandLine({"-f", dir.filePath(QStringLiteral("Home.vrl")).toStdString()}));
  app->Config().Settings().UpdateCheckDays = 0;
  app->Frame().resize(1200, 800);
  app->Show();
  if (!SpinUntil([&] { return app->Shell().Document() != nullptr; }))
    return nullptr;
  return app;
}

}  // namespace ui_test
