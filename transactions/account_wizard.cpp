#include "transactions/account_wizard.h"

#include "core/account_list.h"
#include "core/amount.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/user_port.h"
#include "transactions/xmanager.h"

std::string TAccountWizard::DuplicateNameMessage(std::string_view name) {
  return "Account name, \"" + std::string(name) +
         "\" has already been used.  Please use a different account name.";
}

TAccount* TAccountWizard::AddAccount(const TWizardAccount& entry) {
  return AddAccount(entry, manager_.Accounts().Root());
}

TAccount* TAccountWizard::AddAccount(const TWizardAccount& entry, TAccountNode& at) {
  TAccountList& accounts = manager_.Accounts();
  TEnvelopeList& envelopes = manager_.Envelopes();
  if (entry.name.empty() || usedNames_.PositionOf(entry.name) != 0) {
    manager_.User().Tell("Error", DuplicateNameMessage(entry.name), TMessageIcon::Exclamation);
    return nullptr;
  }
  // A budget whose "Unallocated" envelope was renamed or deleted still needs the starting
  // balance in some envelope, or the envelope total would fall short of the account total; the
  // first envelope of the list takes it then.
  std::string envelopeName = kStarterEnvelope;
  if (envelopes.EnvelopeIdOfName(envelopeName) == 0) {
    const auto choices = envelopes.EnvelopeChoices();
    if (!choices.empty())
      envelopeName = choices.front().name;
  }
  TAccount* account =
      accounts.AddAccount(at, envelopes, entry.name, entry.description, entry.type, envelopeName);
  if (account == nullptr)
    return nullptr;
  usedNames_.Append(entry.name);

  const int32_t cents = CentsFromEntry(entry.startingBalance);
  TXRecord record{};
  record.Flags = kXImported;
  record.AccountId = account->Id();
  record.EnvelopeId = account->DefaultEnvelope();
  record.amount = cents;
  record.date = entry.startingDate;
  record.created = manager_.Today();
  record.AccountCleared = 1;
  record.SetCode(kStartCode);
  record.SetPayableTo(kStartPayee);
  accounts.ChangeBalance(account->Id(), cents);
  accounts.ChangeRecBalance(account->Id(), cents);
  manager_.PostToEnvelope(record.EnvelopeId, cents, false);
  manager_.Create(record).reset();
  return account;
}
