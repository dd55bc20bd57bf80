#include "core/envelope_node.h"

#include <bit>

#include "core/document_context.h"
#include "core/envelope_list.h"
#include "core/list_display_options.h"
#include "core/pstream.h"
#include "core/stream_registry.h"
#include "core/tree_stream.h"
#include "core/unique_label.h"
#include "core/user_port.h"

namespace {

constexpr size_t kNameCapacity = 32;
constexpr size_t kDescriptionCapacity = 1024;

const TStreamableClass rootRegistration{"TEnvelopeRoot", &BuildStreamer<TEnvelopeRoot>,
                                        typeid(TEnvelopeRoot)};
const TStreamableClass associationRegistration{"TAssociation", &BuildStreamer<TAssociation>,
                                               typeid(TAssociation)};
const TStreamableClass bundleRegistration{"TBundle", &BuildStreamer<TBundle>, typeid(TBundle)};
const TStreamableClass aliasRegistration{"TEnvelopeAlias", &BuildStreamer<TEnvelopeAlias>,
                                         typeid(TEnvelopeAlias)};
const TStreamableClass envRegistration{"TEnv", &BuildStreamer<TEnv>, typeid(TEnv)};

std::string FormatAmount(TAmount amount) {
  return amount.Format(TAmount::kThousands);
}

// A record of a newer class version than this program knows has a layout it cannot read, so the
// stream fails instead of misreading the fields.
bool KnownVersion(ipstream& is, uint32_t version, uint32_t known) {
  if (version > known)
    is.SetState(pstream::kFailed);
  return is.Good();
}

int32_t AddWrapping(int32_t value, int32_t delta) {
  return (TAmount(value) + TAmount(delta)).StoredCents();
}

void WriteFloat(opstream& os, float value) {
  os.WriteWord32(std::bit_cast<uint32_t>(value));
}

float ReadFloat(ipstream& is) {
  return std::bit_cast<float>(is.ReadRaw32());
}

// One look of a watchdog at a balance: the first look only remembers it; later, with the switch
// on, a balance below the threshold that is lower than the last one seen is told to the user
// once, so that staying below warns no further.
// True when it warned.
bool Watch(const TEnvelopeNode& node, TWatchdogState& state, float threshold, const char* what) {
  TEnvelopeList* list = node.List();
  if (list == nullptr || list->Context() == nullptr)
    return false;
  const int64_t balance = node.Balance().Cents();
  if (state.firstLook) {
    state.firstLook = false;
    state.lastBalance = balance;
    return false;
  }
  if (!node.Watchdog())
    return false;
  const bool below = static_cast<double>(threshold) * 100.0 > static_cast<double>(balance);
  const bool dropped = balance < state.lastBalance;
  state.lastBalance = balance;
  if (!below || !dropped)
    return false;
  list->Context()->User().Tell("Quenbrook",
                               std::string(what) + " \"" + node.Name() + "\" is below " +
                                   (threshold == 0.0f ? "Zero" : "its Threshold") + ". (" +
                                   FormatAmount(TAmount::FromCents(balance)) + ")",
                               TMessageIcon::Error);
  return true;
}

}  // namespace

// ---- TEnvelopeNode --------------------------------------------------------

TEnvelopeList* TEnvelopeNode::List() const {
  return dynamic_cast<TEnvelopeList*>(OwnerList());
}

void TEnvelopeNode::SetName(std::string_view name) {
  name_ = FitField(name, kNameCapacity);
}

TAmount TEnvelopeNode::Balance() const {
  TAmount sum;
  for (TTreeItem* child = FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (auto* node = dynamic_cast<const TEnvelopeNode*>(child))
      sum += node->Balance();
  }
  return sum;
}

void TEnvelopeNode::ChangeBalance(int32_t delta) {
  NotifyChanged();
  if (auto* parent = dynamic_cast<TEnvelopeNode*>(Parent()))
    parent->ChangeBalance(delta);
}

bool TEnvelopeNode::GoesAfter(const TTreeItem& other) const {
  auto* node = dynamic_cast<const TEnvelopeNode*>(&other);
  return node != nullptr && node->SiblingRank() > SiblingRank();
}

void TEnvelopeNode::MarkModified() const {
  if (TTreeList* list = OwnerList())
    list->MarkModified();
}

std::string TEnvelopeNode::NameWithBalance(bool withBalance) const {
  return withBalance ? Name() + ": " + FormatAmount(Balance()) : Name();
}

void TEnvelopeNode::Streamer::Write(opstream& os) const {
  const TEnvelopeNode& node = Object();
  os.WriteWord32(node.Expanded() ? 1 : 0);
  os.WriteWord32(node.watchdog_ ? 1 : 0);
  os.WriteWord32(node.id_);
  os.WriteWord32(static_cast<uint32_t>(node.ChildCount()));
  WriteTreeChildren(os, node);
}

void TEnvelopeNode::Streamer::Read(ipstream& is, uint32_t version) {
  TEnvelopeNode& node = Object();
  if (!KnownVersion(is, version, kClassVersion))
    return;
  node.SetExpanded(is.ReadWord() != 0);
  node.SetDisplayMark(false);
  node.watchdog_ = is.ReadWord() != 0;
  node.id_ = is.ReadWord();
  uint32_t count = is.ReadWord();
  if (!is.Good())
    return;
  // Envelopes and aliases hold no children; a record that claims some is damaged.
  if (count != 0 && !node.AcceptsChildren()) {
    is.SetState(pstream::kFailed);
    return;
  }
  ReadTreeChildren<TEnvelopeNode>(is, node, count, [](const TEnvelopeNode& child) {
    return dynamic_cast<const TEnvelopeRoot*>(&child) == nullptr;
  });
}

// ---- TEnvelopeRoot --------------------------------------------------------

TEnvelopeRoot::TEnvelopeRoot() {
  name_ = "Envelopes";
}

TAmount TEnvelopeRoot::Balance() const {
  TAmount sum;
  for (TTreeItem* child = FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (dynamic_cast<const TAssociation*>(child) != nullptr)
      continue;
    if (auto* node = dynamic_cast<const TEnvelopeNode*>(child))
      sum += node->Balance();
  }
  return sum;
}

void TEnvelopeRoot::ChangeBalance(int32_t) {
  NotifyChanged();
}

std::string TEnvelopeRoot::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showEnvRootBalance);
}

void TEnvelopeRoot::Streamer::Write(opstream& os) const {
  os.WriteBase<TEnvelopeNode>(Object());
  os.WriteString(Object().name_);
}

void TEnvelopeRoot::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TEnvelopeNode>(Object());
  is.ReadString(Object().name_, kNameCapacity);
}

// ---- TAssociation ---------------------------------------------------------

void TAssociation::SetDescription(std::string_view description) {
  description_ = FitField(description, kDescriptionCapacity);
}

void TAssociation::SetProperties(const TGroupProperties& values) {
  SetName(values.name);
  SetDescription(values.description);
  NotifyChanged();
  MarkModified();
}

std::string TAssociation::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showAssociationBalances);
}

void TAssociation::Streamer::Write(opstream& os) const {
  os.WriteBase<TEnvelopeNode>(Object());
  os.WriteString(Object().name_);
  os.WriteString(Object().description_);
}

void TAssociation::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TEnvelopeNode>(Object());
  is.ReadString(Object().name_, kNameCapacity);
  is.ReadString(Object().description_, kDescriptionCapacity);
}

// ---- TBundle --------------------------------------------------------------

void TBundle::SetDescription(std::string_view description) {
  description_ = FitField(description, kDescriptionCapacity);
}

void TBundle::SetProperties(const TBundleProperties& values) {
  SetName(values.name);
  SetDescription(values.description);
  threshold_ = values.threshold;
  NotifyChanged();
  MarkModified();
}

bool TBundle::Idle() {
  return Watch(*this, watch_, threshold_, "Bundle");
}

std::string TBundle::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showBundleBalances);
}

void TBundle::Streamer::Write(opstream& os) const {
  os.WriteBase<TEnvelopeNode>(Object());
  os.WriteString(Object().name_);
  os.WriteString(Object().description_);
  WriteFloat(os, Object().threshold_);
}

void TBundle::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TEnvelopeNode>(Object());
  is.ReadString(Object().name_, kNameCapacity);
  is.ReadString(Object().description_, kDescriptionCapacity);
  Object().threshold_ = ReadFloat(is);
}

// ---- TEnvelopeAlias -------------------------------------------------------

TEnvelopeAlias::TEnvelopeAlias(TEnv& target) : TEnvelopeNode(target.Id()) {
  Bind(target);
}

TEnvelopeAlias::~TEnvelopeAlias() {
  Unbind();
}

void TEnvelopeAlias::Bind(TEnv& target) {
  Unbind();
  SetId(target.Id());
  target_ = &target;
  nextAlias_ = target.firstAlias_;
  target.firstAlias_ = this;
}

void TEnvelopeAlias::Unbind() {
  if (target_ == nullptr)
    return;
  for (TEnvelopeAlias** link = &target_->firstAlias_; *link != nullptr;
       link = &(*link)->nextAlias_) {
    if (*link == this) {
      *link = nextAlias_;
      break;
    }
  }
  target_ = nullptr;
  nextAlias_ = nullptr;
}

std::string TEnvelopeAlias::Name() const {
  return target_ ? target_->Name() : std::string();
}

TAmount TEnvelopeAlias::Balance() const {
  return target_ ? target_->Balance() : TAmount();
}

std::string TEnvelopeAlias::DisplayText(const TListDisplayOptions&) const {
  return Name() + " [alias]";
}

void TEnvelopeAlias::Streamer::Write(opstream& os) const {
  os.WriteBase<TEnvelopeNode>(Object());
}

void TEnvelopeAlias::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TEnvelopeNode>(Object());
}

// ---- TEnv -----------------------------------------------------------------

TEnv::~TEnv() {
  // The aliases go first: they would otherwise show an envelope that no longer exists.
  while (TEnvelopeAlias* alias = firstAlias_) {
    alias->Unbind();
    if (alias->Parent() != nullptr)
      alias->Detach().reset();
  }
}

void TEnv::SetDescription(std::string_view description) {
  description_ = FitField(description, kDescriptionCapacity);
}

void TEnv::SetInAllocationPlan(bool inPlan) {
  if (inPlan_ == inPlan)
    return;
  inPlan_ = inPlan;
  MarkModified();
}

TEnvelopeProperties TEnv::Properties() const {
  return {name_, description_, threshold_, inPlan_};
}

void TEnv::SetProperties(const TEnvelopeProperties& values) {
  SetName(values.name);
  SetDescription(values.description);
  threshold_ = values.threshold;
  inPlan_ = values.inAllocationPlan;
  NotifyChanged();
  for (TEnvelopeAlias* alias = firstAlias_; alias != nullptr; alias = alias->nextAlias_) {
    alias->NotifyChanged();
  }
  MarkModified();
}

void TEnv::ChangeBalance(int32_t delta) {
  balance_ = AddWrapping(balance_, delta);
  MarkModified();
  TEnvelopeNode::ChangeBalance(delta);
  for (TEnvelopeAlias* alias = firstAlias_; alias != nullptr; alias = alias->nextAlias_) {
    alias->ChangeBalance(delta);
  }
}

void TEnv::ChangeClearedBalance(int32_t delta) {
  cleared_ = AddWrapping(cleared_, delta);
  NotifyChanged();
  MarkModified();
}

std::unique_ptr<TEnvelopeAlias> TEnv::MakeAlias() {
  return std::make_unique<TEnvelopeAlias>(*this);
}

bool TEnv::Idle() {
  return Watch(*this, watch_, threshold_, "Envelope");
}

std::string TEnv::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showEnvelopeBalances);
}

void TEnv::Streamer::Write(opstream& os) const {
  const TEnv& env = Object();
  os.WriteBase<TEnvelopeNode>(env);
  os.WriteString(env.name_);
  os.WriteString(env.description_);
  WriteFloat(os, env.threshold_);
  os.WriteWord32(static_cast<uint32_t>(env.balance_));
  os.WriteWord32(static_cast<uint32_t>(env.cleared_));
  os.WriteWord32(env.inPlan_ ? 1 : 0);
}

void TEnv::Streamer::Read(ipstream& is, uint32_t version) {
  TEnv& env = Object();
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TEnvelopeNode>(env);
  is.ReadString(env.name_, kNameCapacity);
  is.ReadString(env.description_, kDescriptionCapacity);
  env.threshold_ = ReadFloat(is);
  env.balance_ = static_cast<int32_t>(is.ReadRaw32());
  if (version >= 2)
    env.cleared_ = static_cast<int32_t>(is.ReadRaw32());
  if (version >= 3)
    env.inPlan_ = is.ReadWord() != 0;
}
