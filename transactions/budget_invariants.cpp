#include "transactions/budget_invariants.h"

#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/account_list.h"
#include "core/account_node.h"
#include "core/amount.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "transactions/xordering.h"

namespace {

struct TSums {
  int32_t balance = 0;
  int32_t cleared = 0;
};

std::string Money(int64_t cents) {
  return TAmount::FromCents(cents).Format(0);
}

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

void Compare(std::vector<std::string>& differences, const std::string& what, int32_t stored,
             int32_t storedCleared, const TSums& sums) {
  if (stored != sums.balance) {
    differences.push_back(what + ": balance " + Money(stored) + ", its transactions sum to " +
                          Money(sums.balance));
  }
  if (storedCleared != sums.cleared) {
    differences.push_back(what + ": cleared balance " + Money(storedCleared) +
                          ", its cleared transactions sum to " + Money(sums.cleared));
  }
}

void Add(TSums& sums, int32_t amount, bool cleared) {
  sums.balance = AddCents(sums.balance, amount);
  if (cleared)
    sums.cleared = AddCents(sums.cleared, amount);
}

}  // namespace

std::vector<std::string> CheckBudgetBalances(const TAccountList& accounts,
                                             const TEnvelopeList& envelopes,
                                             const TXManager& transactions) {
  // The sums are gathered per identifier of the trees, so the walk over the records costs the
  // same however many accounts and envelopes there are.
  std::unordered_map<uint32_t, TSums> accountSums;
  std::unordered_map<uint32_t, TSums> envelopeSums;
  std::vector<const TAccount*> accountNodes;
  std::vector<const TEnv*> envelopeNodes;
  for (TTreeItem* node = accounts.RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    if (auto* account = dynamic_cast<TAccount*>(node)) {
      accountNodes.push_back(account);
      accountSums.emplace(account->Id(), TSums{});
    }
  }
  for (TTreeItem* node = envelopes.RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    if (auto* env = dynamic_cast<TEnv*>(node)) {
      envelopeNodes.push_back(env);
      envelopeSums.emplace(env->Id(), TSums{});
    }
  }
  std::vector<std::string> differences;
  const TXStore& store = transactions.Store();
  for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.Flags == 0)
      continue;
    if (record.PostsToAccount()) {
      if (auto sums = accountSums.find(record.AccountId); sums != accountSums.end()) {
        Add(sums->second, record.amount, record.AccountCleared != 0);
      } else if (record.amount != 0) {
        differences.push_back("transaction " + std::to_string(record.Id) + " posts " +
                              Money(record.amount) + " to account " +
                              std::to_string(record.AccountId) + ", which does not exist");
      }
    }
    if (record.PostsToEnvelope()) {
      if (auto sums = envelopeSums.find(record.EnvelopeId); sums != envelopeSums.end()) {
        Add(sums->second, record.amount, record.EnvelopeCleared != 0);
      } else if (record.amount != 0) {
        differences.push_back("transaction " + std::to_string(record.Id) + " posts " +
                              Money(record.amount) + " to envelope " +
                              std::to_string(record.EnvelopeId) + ", which does not exist");
      }
    }
  }

  for (const TAccount* account : accountNodes) {
    Compare(differences, "account " + std::to_string(account->Id()) + " " + Quoted(account->Name()),
            account->StoredBalance(), account->ClearedBalance(), accountSums[account->Id()]);
  }
  for (const TEnv* env : envelopeNodes) {
    Compare(differences, "envelope " + std::to_string(env->Id()) + " " + Quoted(env->Name()),
            env->StoredBalance(), env->ClearedBalance(), envelopeSums[env->Id()]);
  }

  const int64_t accountTotal = accounts.Total().Cents();
  const int64_t envelopeTotal = envelopes.Total().Cents();
  if (accountTotal != envelopeTotal) {
    differences.push_back("account total " + Money(accountTotal) + ", envelope total " +
                          Money(envelopeTotal));
  }
  return differences;
}

std::vector<std::string> CheckBudgetBalances(const TVorlaData& document) {
  if (const auto* transactions = dynamic_cast<const TXManager*>(document.Transactions())) {
    return CheckBudgetBalances(document.Accounts(), document.Envelopes(), *transactions);
  }
  std::vector<std::string> differences;
  if (document.AccountTotal() != document.EnvelopeTotal()) {
    differences.push_back("account total " + Money(document.AccountTotal()) + ", envelope total " +
                          Money(document.EnvelopeTotal()));
  }
  return differences;
}

std::vector<std::string> CheckTransactionLinks(const TXManager& transactions) {
  const TXStore& store = transactions.Store();
  std::unordered_map<uint32_t, const TXRecord*> byId;
  std::unordered_map<uint32_t, int32_t> partSums;
  for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.Flags == 0)
      continue;
    byId.emplace(record.Id, &record);
    if (record.IsMultipleKid()) {
      partSums[record.ParentId] = AddCents(partSums[record.ParentId], record.amount);
    }
  }
  std::vector<std::string> broken;
  auto find = [&](uint32_t id) -> const TXRecord* {
    auto found = byId.find(id);
    return found == byId.end() ? nullptr : found->second;
  };
  for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.Flags == 0)
      continue;
    const std::string name = "transaction " + std::to_string(record.Id);
    if (record.IsTransferHalf()) {
      const TXRecord* partner = find(record.PartnerId);
      if (partner == nullptr || partner->PartnerId != record.Id ||
          partner->IsAccountTransfer() != record.IsAccountTransfer() ||
          !partner->IsTransferHalf()) {
        broken.push_back(name + ": its other half " + std::to_string(record.PartnerId) +
                         " does not point back");
      } else if (AddCents(partner->amount, record.amount) != 0) {
        broken.push_back(name + ": its halves do not cancel out");
      }
    }
    if (record.IsMultiple()) {
      const int32_t parts = partSums[record.Id];
      if (parts != record.amount) {
        broken.push_back(name + ": a multiple of " + Money(record.amount) + " whose parts sum to " +
                         Money(parts));
      }
    } else if (record.IsMultipleKid()) {
      const TXRecord* multiple = find(record.ParentId);
      if (multiple == nullptr || !multiple->IsMultiple()) {
        broken.push_back(name + ": its multiple " + std::to_string(record.ParentId) +
                         " is missing");
      } else if (record.IsLive() &&
                 (multiple->AccountId != record.AccountId || multiple->date != record.date)) {
        // An empty row of a multiple's view takes the multiple's date only when it is typed in.
        broken.push_back(name + ": a part whose account or date differs from its multiple's");
      }
    }
  }
  return broken;
}

std::vector<std::string> CheckLedgerOrder(const TXManager& transactions) {
  std::vector<std::string> problems;
  const TXStore& store = transactions.Store();
  uint32_t previous = 0;
  uint64_t previousLevel = 0;
  for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.Flags == 0 || (record.Flags & kXUnsorted) != 0)
      continue;
    const uint64_t level = TXOrdering::Level(TXOrdering::Key(record));
    if (previous != 0 && level < previousLevel) {
      problems.push_back("transaction " + std::to_string(record.Id) + " in slot " +
                         std::to_string(index) + " belongs before transaction " +
                         std::to_string(store.At(previous).Id) + " in front of it");
    }
    previous = index;
    previousLevel = level;
  }
  return problems;
}
