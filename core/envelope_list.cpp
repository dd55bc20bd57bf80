#include "core/envelope_list.h"

#include "core/account_list.h"
#include "core/document_context.h"
#include "core/model_environment.h"
#include "core/model_error.h"
#include "core/pstream.h"
#include "core/stream_registry.h"
#include "core/tree_moves.h"
#include "core/user_port.h"

namespace {

const TStreamableClass registration{"TEnvelopeList", &BuildStreamer<TEnvelopeList>,
                                    typeid(TEnvelopeList)};

[[noreturn]] void NotAnEnvelope(const char* operation) {
  throw TModelError(std::string("Attempt to access non-envelope in ") + operation + "().");
}

}  // namespace

TEnvelopeList::TEnvelopeList() {
  AttachRoot(std::make_unique<TEnvelopeRoot>());
}

TEnvelopeList::~TEnvelopeList() {
  DestroyRoot();
}

TUserPort& TEnvelopeList::User() const {
  if (Context() == nullptr)
    throw TModelError("The envelope list belongs to no document.");
  return Context()->User();
}

TEnvelopeNode* TEnvelopeList::FindNode(uint32_t id) const {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* envelopeNode = dynamic_cast<TEnvelopeNode*>(node);
    if (envelopeNode != nullptr && envelopeNode->Id() == id)
      return envelopeNode;
  }
  return nullptr;
}

TEnv* TEnvelopeList::Envelope(uint32_t id) const {
  // An alias carries its envelope's identifier and may come first in display order, so the
  // envelope is looked for among the envelopes alone.
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* env = dynamic_cast<TEnv*>(node);
    if (env != nullptr && env->Id() == id)
      return env;
  }
  return nullptr;
}

// Postings to an identifier that names no envelope are dropped, as transactions of older files
// may still name one; the account operations, by contrast, refuse a non-account.
void TEnvelopeList::EnvelopeChangeBalance(uint32_t envelopeId, int32_t delta) {
  if (TEnv* env = Envelope(envelopeId))
    env->ChangeBalance(delta);
}

void TEnvelopeList::EnvelopeChangeRecBalance(uint32_t envelopeId, int32_t delta) {
  if (TEnv* env = Envelope(envelopeId))
    env->ChangeClearedBalance(delta);
}

int32_t TEnvelopeList::EnvelopeBalance(uint32_t envelopeId) const {
  TEnv* env = Envelope(envelopeId);
  if (env == nullptr)
    NotAnEnvelope("EnvelopeBalance");
  return env->StoredBalance();
}

int32_t TEnvelopeList::EnvelopeRecBalance(uint32_t envelopeId) const {
  TEnv* env = Envelope(envelopeId);
  if (env == nullptr)
    NotAnEnvelope("EnvelopeRecBalance");
  return env->ClearedBalance();
}

size_t TEnvelopeList::NumberOfEnvelopes() const {
  return EnvelopeChoices().size();
}

bool TEnvelopeList::InAllocationPlan(uint32_t envelopeId) const {
  TEnv* env = Envelope(envelopeId);
  return env != nullptr && env->InAllocationPlan();
}

void TEnvelopeList::SetInAllocationPlan(uint32_t envelopeId, bool inPlan) {
  if (TEnv* env = Envelope(envelopeId))
    env->SetInAllocationPlan(inPlan);
}

std::string TEnvelopeList::NameOfEnvelope(uint32_t envelopeId) const {
  TEnv* env = Envelope(envelopeId);
  return env ? env->Name() : "None";
}

uint32_t TEnvelopeList::EnvelopeIdOfName(std::string_view name) const {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* env = dynamic_cast<TEnv*>(node);
    if (env != nullptr && EqualNoCase(env->Name(), name))
      return env->Id();
  }
  return 0;
}

std::vector<TItemChoice> TEnvelopeList::EnvelopeChoices() const {
  std::vector<TItemChoice> envelopes;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (auto* env = dynamic_cast<TEnv*>(node))
      envelopes.push_back({env->Id(), env->Name()});
  }
  return envelopes;
}

std::vector<std::string> TEnvelopeList::TakenNames(const TTreeItem* except) const {
  std::vector<std::string> names;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (node != except && dynamic_cast<TEnvelopeAlias*>(node) == nullptr) {
      names.push_back(node->Name());
    }
  }
  return names;
}

TBxStringList TEnvelopeList::Names() const {
  TBxStringList names;
  for (const std::string& name : TakenNames(nullptr))
    names.Append(name);
  return names;
}

uint32_t TEnvelopeList::IdOfName(std::string_view name) const {
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    auto* envelopeNode = dynamic_cast<TEnvelopeNode*>(node);
    if (envelopeNode != nullptr && EqualNoCase(node->Name(), name))
      return envelopeNode->Id();
  }
  return 0;
}

std::string TEnvelopeList::NameOfId(uint32_t id) const {
  TEnvelopeNode* node = FindNode(id);
  return node ? node->Name() : "Invalid Item Reference";
}

void TEnvelopeList::NumberRoot() {
  if (Root().Id() == 0)
    Root().SetId(NewId());
}

uint32_t TEnvelopeList::NewId() {
  uint32_t id = ids_.Allocate();
  while (FindNode(id) != nullptr)
    id = ids_.Allocate();
  return id;
}

void TEnvelopeList::BindAliases(TUserPort* user) {
  std::vector<TEnvelopeAlias*> aliases;
  for (TTreeItem* node = RootItem(); node != nullptr; node = node->NextInDisplayOrder(true)) {
    if (auto* alias = dynamic_cast<TEnvelopeAlias*>(node); alias && alias->Target() == nullptr) {
      aliases.push_back(alias);
    }
  }
  for (TEnvelopeAlias* alias : aliases) {
    if (TEnv* env = Envelope(alias->Id())) {
      alias->Bind(*env);
      continue;
    }
    if (user != nullptr)
      user->Tell("Error", "Can't bind envelope items to list.", TMessageIcon::Error);
    alias->Detach().reset();
  }
  ListChanged();
}

uint32_t TEnvelopeList::ChooseEnvelope() const {
  uint32_t chosen = 0;
  std::vector<TItemChoice> choices = EnvelopeChoices();
  if (!User().ChooseEnvelope(choices, chosen))
    return 0;
  return Envelope(chosen) != nullptr ? chosen : 0;
}

template <class Node>
Node* TEnvelopeList::Insert(TEnvelopeNode& at, std::unique_ptr<Node> node) {
  const uint32_t id = node->Id();
  auto* placed = static_cast<Node*>(PlaceNew(at, std::move(node)));
  if (placed == nullptr) {
    ids_.Retire(id);
    return nullptr;
  }
  MarkModified();
  return placed;
}

namespace {

// The insert commands are offered only where a drop of the new kind would make it a child or a
// sibling; an envelope on an association would leave the envelope itself without a place.
bool TakesNewEnvelope(const TEnvelopeNode& at) {
  return dynamic_cast<const TEnvelopeRoot*>(&at) || dynamic_cast<const TBundle*>(&at) ||
         dynamic_cast<const TEnv*>(&at);
}

}  // namespace

TEnv* TEnvelopeList::AddEnvelope(TEnvelopeNode& at) {
  if (!TakesNewEnvelope(at))
    return nullptr;
  TUserPort& user = User();
  const uint32_t id = NewId();
  auto env = std::make_unique<TEnv>(id);
  TEnvelopeProperties values = env->Properties();
  if (!user.EditEnvelopeProperties(values, TakenNames(nullptr))) {
    ids_.Retire(id);
    return nullptr;
  }
  env->SetProperties(values);
  return Insert(at, std::move(env));
}

TEnv* TEnvelopeList::AddEnvelope(TEnvelopeNode& at, std::string_view name, bool watchdog) {
  if (!TakesNewEnvelope(at))
    return nullptr;
  auto env = std::make_unique<TEnv>(NewId());
  env->SetName(name);
  env->SetWatchdog(watchdog);
  return Insert(at, std::move(env));
}

TBundle* TEnvelopeList::AddBundle(TEnvelopeNode& at) {
  if (!dynamic_cast<TEnvelopeRoot*>(&at) && !dynamic_cast<TBundle*>(&at))
    return nullptr;
  TUserPort& user = User();
  const uint32_t id = NewId();
  auto bundle = std::make_unique<TBundle>(id);
  TBundleProperties values = bundle->Properties();
  if (!user.EditBundleProperties(values, TakenNames(nullptr))) {
    ids_.Retire(id);
    return nullptr;
  }
  bundle->SetProperties(values);
  return Insert(at, std::move(bundle));
}

TAssociation* TEnvelopeList::AddAssociation(TEnvelopeNode& at) {
  if (!dynamic_cast<TEnvelopeRoot*>(&at))
    return nullptr;
  TUserPort& user = User();
  const uint32_t id = NewId();
  auto association = std::make_unique<TAssociation>(id);
  TGroupProperties values = association->Properties();
  if (!user.EditAssociationProperties(values, TakenNames(nullptr))) {
    ids_.Retire(id);
    return nullptr;
  }
  association->SetProperties(values);
  return Insert(at, std::move(association));
}

bool TEnvelopeList::EditProperties(TEnvelopeNode& node) {
  if (dynamic_cast<TEnvelopeAlias*>(&node) != nullptr)
    return false;
  TUserPort& user = User();
  const std::vector<std::string> taken = TakenNames(&node);
  if (auto* env = dynamic_cast<TEnv*>(&node)) {
    TEnvelopeProperties values = env->Properties();
    if (!user.EditEnvelopeProperties(values, taken))
      return false;
    env->SetProperties(values);
    return true;
  }
  if (auto* bundle = dynamic_cast<TBundle*>(&node)) {
    TBundleProperties values = bundle->Properties();
    if (!user.EditBundleProperties(values, taken))
      return false;
    bundle->SetProperties(values);
    return true;
  }
  if (auto* association = dynamic_cast<TAssociation*>(&node)) {
    TGroupProperties values = association->Properties();
    if (!user.EditAssociationProperties(values, taken))
      return false;
    association->SetProperties(values);
    return true;
  }
  std::string name = node.Name();
  if (!user.EditRootProperties(TTreeKind::Envelopes, name, taken))
    return false;
  node.SetName(name);
  MarkModified();
  ListChanged();
  return true;
}

bool TEnvelopeList::DeleteItem(TEnvelopeNode& node, TAccountList& accounts) {
  if (!node.MayDelete())
    return false;
  TUserPort& user = User();
  if (auto* env = dynamic_cast<TEnv*>(&node)) {
    std::vector<TItemChoice> others;
    for (const TItemChoice& choice : EnvelopeChoices()) {
      if (choice.id != env->Id())
        others.push_back(choice);
    }
    if (others.empty()) {
      user.Tell("Quenbrook", "Can't delete last envelope.", TMessageIcon::Error);
      return false;
    }
    uint32_t chosen = 0;
    if (!user.ChooseReplacementEnvelope(others, chosen))
      return false;
    // Only one of the offered envelopes may take over; anything else would strand the
    // transactions on an identifier that is about to vanish.
    if (Envelope(chosen) == nullptr || chosen == env->Id())
      return false;
    if (TItemCascades* cascades = Context()->Cascades()) {
      cascades->MoveEnvelopeTransactions(env->Id(), chosen);
    }
    accounts.ReplaceDefaultEnvelope(env->Id(), chosen);
    if (TItemCascades* cascades = Context()->Cascades()) {
      cascades->ReplaceTemplateEnvelope(env->Id(), chosen);
    }
    ids_.Retire(env->Id());
  } else if (auto* bundle = dynamic_cast<TBundle*>(&node)) {
    if (bundle->HasChildren()) {
      user.Tell("Quenbrook",
                "Bundle \"" + bundle->Name() +
                    "\" is not empty.  Cannot delete bundles that are not empty.  Delete or move "
                    "contents first.",
                TMessageIcon::Error);
      return false;
    }
    ids_.Retire(bundle->Id());
  } else if (dynamic_cast<TAssociation*>(&node) != nullptr) {
    ids_.Retire(node.Id());
  }
  // An alias only leaves the tree: its identifier belongs to its envelope.
  node.Detach().reset();
  MarkModified();
  ListChanged();
  return true;
}

bool TEnvelopeList::ToggleWatchdog(TEnvelopeNode& node) {
  if (!node.HasWatchdog())
    return false;
  node.SetWatchdog(!node.Watchdog());
  NodeChanged(node);
  MarkModified();
  return true;
}

bool TEnvelopeList::AskToggleWatchdog(TEnvelopeNode& node) {
  if (!node.HasWatchdog())
    return false;
  if (User().Ask("Toggle Watchdog", "Are you sure you would like to toggle the watchdog?",
                 TMessageButtons::YesNoCancel, TMessageIcon::Question) != TMessageAnswer::Yes) {
    return false;
  }
  return ToggleWatchdog(node);
}

void TEnvelopeList::Streamer::Write(opstream& os) const {
  os.WriteObject(&Object().Root());
  Object().ids_.Write(os);
}

void TEnvelopeList::Streamer::Read(ipstream& is, uint32_t version) {
  TEnvelopeList& list = Object();
  if (version > kClassVersion) {
    is.SetState(pstream::kFailed);
    return;
  }
  std::unique_ptr<TStreamableBase> object = is.ReadOwned<TStreamableBase>();
  auto* root = dynamic_cast<TEnvelopeRoot*>(object.get());
  if (root == nullptr) {
    // A list without a root, or with something else in its place, is damaged; the list keeps
    // its empty root so that it stays usable until it is discarded.
    is.SetState(pstream::kFailed);
    return;
  }
  object.release();
  list.AttachRoot(std::unique_ptr<TEnvelopeRoot>(root));
  list.ids_ = TIdList(kIdGrowth);
  list.ids_.Read(is);
  if (!is.Good())
    return;
  list.NumberRoot();
  const TModelEnvironment* environment = is.Environment();
  list.BindAliases(environment != nullptr ? &environment->user : nullptr);
}
