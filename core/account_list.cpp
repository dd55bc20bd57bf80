#include "core/account_list.h"

#include "core/document_context.h"
#include "core/envelope_list.h"
#include "core/model_error.h"
#include "core/pstream.h"
#include "core/stream_registry.h"
#include "core/tree_moves.h"
#include "core/user_port.h"

namespace {

const TStreamableClass registration{"TAccountList", &BuildStreamer<TAccountList>,
                                    typeid(TAccountList)};

[[noreturn]] void NotAnAccount(const char* operation) {
  throw TModelError(std::string("Attempt to access non-account in ") + operation + "().");
}

}  // namespace

// ---- TAccountTypeList -----------------------------------------------------

TAccountTypeList::TAccountTypeList()
    : TSimpleIdObjectList(
          {"Checking", "Savings", "Cash", "Electronic Cash", "Credit", "Investment"}) {}

uint32_t TAccountTypeList::IdOfName(std::string_view name) const {
  uint32_t id = TSimpleIdObjectList::IdOfName(name);
  return id >= 1 && id <= 5 ? id : 6;
}

// ---- TAccountList ---------------------------------------------------------

TAccountList::TAccountList() {
  AttachRoot(std::make_unique<TAccountRoot>());
}

TAccountList::~TAccountList() {
  DestroyRoot();
}

TUserPort& TAccountList::User() const {
  if (Context() == nullptr)
    throw TModelError("The account list belongs to no document.");
  return Context()->User();
}

TAccountNode* TAccountList::FindNode(uint32_t id) const {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* accountNode = dynamic_cast<TAccountNode*>(node);
    if (accountNode != nullptr && accountNode->Id() == id)
      return accountNode;
  }
  return nullptr;
}

TAccount* TAccountList::Account(uint32_t id) const {
  return dynamic_cast<TAccount*>(FindNode(id));
}

int32_t TAccountList::GetBalance(uint32_t accountId) const {
  TAccount* account = Account(accountId);
  if (account == nullptr)
    NotAnAccount("GetBalance");
  return account->StoredBalance();
}

int32_t TAccountList::GetRecBalance(uint32_t accountId) const {
  TAccount* account = Account(accountId);
  if (account == nullptr)
    NotAnAccount("GetRecBalance");
  return account->ClearedBalance();
}

void TAccountList::ChangeBalance(uint32_t accountId, int32_t delta) {
  TAccount* account = Account(accountId);
  if (account == nullptr)
    NotAnAccount("ChangeBalance");
  account->ChangeBalance(delta);
}

void TAccountList::ChangeRecBalance(uint32_t accountId, int32_t delta) {
  TAccount* account = Account(accountId);
  if (account == nullptr)
    NotAnAccount("ChangeRecBalance");
  account->ChangeClearedBalance(delta);
}

uint32_t TAccountList::GetDefaultEnvelope(uint32_t accountId) const {
  TAccount* account = Account(accountId);
  if (account == nullptr)
    NotAnAccount("GetDefaultEnvelope");
  return account->DefaultEnvelope();
}

void TAccountList::ReplaceDefaultEnvelope(uint32_t oldId, uint32_t newId) {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (auto* account = dynamic_cast<TAccount*>(node))
      account->ReplaceDefaultEnvelope(oldId, newId);
  }
}

std::string TAccountList::NameOfAccount(uint32_t accountId) const {
  TAccount* account = Account(accountId);
  return account ? account->Name() : "None";
}

size_t TAccountList::NumberOfAccounts() const {
  return AccountChoices().size();
}

uint32_t TAccountList::NthAccountId(size_t position) const {
  std::vector<TItemChoice> accounts = AccountChoices();
  if (position == 0 || position > accounts.size())
    return 0;
  return accounts[position - 1].id;
}

TBxStringList TAccountList::Names(unsigned flags) const {
  TBxStringList names;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    unsigned kind = dynamic_cast<TAccount*>(node)        ? kAccountNames
                    : dynamic_cast<TAccountGroup*>(node) ? kGroupNames
                                                         : kOtherNames;
    if (flags & kind)
      names.Append(node->Name());
  }
  return names;
}

std::vector<TItemChoice> TAccountList::AccountChoices() const {
  std::vector<TItemChoice> accounts;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (auto* account = dynamic_cast<TAccount*>(node)) {
      accounts.push_back({account->Id(), account->Name()});
    }
  }
  return accounts;
}

std::vector<std::string> TAccountList::TakenNames(const TTreeItem* except) const {
  std::vector<std::string> names;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (node != except)
      names.push_back(node->Name());
  }
  return names;
}

uint32_t TAccountList::IdOfName(std::string_view name) const {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* accountNode = dynamic_cast<TAccountNode*>(node);
    if (accountNode != nullptr && EqualNoCase(node->Name(), name))
      return accountNode->Id();
  }
  return 0;
}

std::string TAccountList::NameOfId(uint32_t id) const {
  TAccountNode* node = FindNode(id);
  return node ? node->Name() : "Invalid Item Reference";
}

uint32_t TAccountList::NewId() {
  uint32_t id = ids_.Allocate();
  while (FindNode(id) != nullptr)
    id = ids_.Allocate();
  return id;
}

TAccount* TAccountList::AddAccount(TAccountNode& at, const TEnvelopeList& envelopes) {
  TUserPort& user = User();
  if (envelopes.NumberOfEnvelopes() == 0) {
    user.Tell("Quenbrook", kNoEnvelopeMessage, TMessageIcon::Error);
    return nullptr;
  }
  const uint32_t id = NewId();
  auto account = std::make_unique<TAccount>(id);
  TAccountProperties values = account->Properties();
  if (!user.EditAccountProperties(values, TakenNames(nullptr), envelopes.EnvelopeChoices())) {
    ids_.Retire(id);
    return nullptr;
  }
  account->SetProperties(values);
  auto* placed = static_cast<TAccount*>(PlaceNew(at, std::move(account)));
  if (placed == nullptr) {
    ids_.Retire(id);
    return nullptr;
  }
  MarkModified();
  return placed;
}

TAccount* TAccountList::AddAccount(TAccountNode& at, const TEnvelopeList& envelopes,
                                   std::string_view name, std::string_view description,
                                   uint32_t type, std::string_view defaultEnvelopeName) {
  if (envelopes.NumberOfEnvelopes() == 0) {
    User().Tell("Quenbrook", kNoEnvelopeMessage, TMessageIcon::Error);
    return nullptr;
  }
  const uint32_t id = NewId();
  auto account = std::make_unique<TAccount>(id);
  account->SetProperties({std::string(name), std::string(description), type,
                          envelopes.EnvelopeIdOfName(defaultEnvelopeName)});
  auto* placed = static_cast<TAccount*>(PlaceNew(at, std::move(account)));
  if (placed == nullptr) {
    ids_.Retire(id);
    return nullptr;
  }
  MarkModified();
  return placed;
}

TAccountGroup* TAccountList::AddGroup(TAccountNode& at) {
  if (!at.AcceptsChildren())
    return nullptr;
  TUserPort& user = User();
  const uint32_t id = NewId();
  auto group = std::make_unique<TAccountGroup>(id);
  TGroupProperties values = group->Properties();
  if (!user.EditAccountGroupProperties(values, TakenNames(nullptr))) {
    ids_.Retire(id);
    return nullptr;
  }
  group->SetProperties(values);
  auto* placed = static_cast<TAccountGroup*>(PlaceNew(at, std::move(group)));
  if (placed == nullptr) {
    ids_.Retire(id);
    return nullptr;
  }
  MarkModified();
  return placed;
}

bool TAccountList::EditProperties(TAccountNode& node, const TEnvelopeList& envelopes) {
  TUserPort& user = User();
  const std::vector<std::string> taken = TakenNames(&node);
  if (auto* account = dynamic_cast<TAccount*>(&node)) {
    TAccountProperties values = account->Properties();
    if (!user.EditAccountProperties(values, taken, envelopes.EnvelopeChoices()))
      return false;
    account->SetProperties(values);
    return true;
  }
  if (auto* group = dynamic_cast<TAccountGroup*>(&node)) {
    TGroupProperties values = group->Properties();
    if (!user.EditAccountGroupProperties(values, taken))
      return false;
    group->SetProperties(values);
    return true;
  }
  std::string name = node.Name();
  if (!user.EditRootProperties(TTreeKind::Accounts, name, taken))
    return false;
  node.SetName(name);
  MarkModified();
  ListChanged();
  return true;
}

bool TAccountList::DeleteItem(TAccountNode& node) {
  if (!node.MayDelete())
    return false;
  TUserPort& user = User();
  if (auto* account = dynamic_cast<TAccount*>(&node)) {
    TItemCascades* cascades = Context()->Cascades();
    if (cascades != nullptr && cascades->HasAccountTransactions(account->Id()) &&
        user.Ask("Quenbrook", kDeleteQuestion, TMessageButtons::YesNo, TMessageIcon::Error) !=
            TMessageAnswer::Yes) {
      return false;
    }
    if (cascades != nullptr)
      cascades->DeleteAccountTransactions(account->Id());
  } else if (node.HasChildren()) {
    user.Beep();
    user.Tell("Quenbrook",
              "Account Group \"" + node.Name() +
                  "\" is not empty.  You cannot delete groups that are not empty.  Delete or move "
                  "contents first.",
              TMessageIcon::Error);
    return false;
  }
  ids_.Retire(node.Id());
  node.Detach().reset();
  MarkModified();
  ListChanged();
  return true;
}

void TAccountList::Streamer::Write(opstream& os) const {
  os.WriteObject(&Object().Root());
  Object().ids_.Write(os);
}

void TAccountList::Streamer::Read(ipstream& is, uint32_t version) {
  TAccountList& list = Object();
  if (version > kClassVersion) {
    is.SetState(pstream::kFailed);
    return;
  }
  std::unique_ptr<TStreamableBase> object = is.ReadOwned<TStreamableBase>();
  auto* root = dynamic_cast<TAccountRoot*>(object.get());
  if (root == nullptr) {
    // A list without a root, or with something else in its place, is damaged; the list keeps
    // its empty root so that it stays usable until it is discarded.
    is.SetState(pstream::kFailed);
    return;
  }
  object.release();
  list.AttachRoot(std::unique_ptr<TAccountRoot>(root));
  list.ids_ = TIdList(kIdGrowth);
  list.ids_.Read(is);
}
