#include "core/account_node.h"

#include "core/account_list.h"
#include "core/list_display_options.h"
#include "core/pstream.h"
#include "core/stream_registry.h"
#include "core/tree_stream.h"
#include "core/unique_label.h"

namespace {

constexpr size_t kNameCapacity = 32;
constexpr size_t kDescriptionCapacity = 1024;

const TStreamableClass rootRegistration{"TAccountRoot", &BuildStreamer<TAccountRoot>,
                                        typeid(TAccountRoot)};
const TStreamableClass groupRegistration{"TAccountGroup", &BuildStreamer<TAccountGroup>,
                                         typeid(TAccountGroup)};
const TStreamableClass accountRegistration{"TAccount", &BuildStreamer<TAccount>, typeid(TAccount)};

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

}  // namespace

// ---- TAccountNode ---------------------------------------------------------

TAccountList* TAccountNode::List() const {
  return dynamic_cast<TAccountList*>(OwnerList());
}

void TAccountNode::SetName(std::string_view name) {
  name_ = FitField(name, kNameCapacity);
}

TAmount TAccountNode::Balance() const {
  TAmount sum;
  for (TTreeItem* child = FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (auto* node = dynamic_cast<const TAccountNode*>(child))
      sum += node->Balance();
  }
  return sum;
}

void TAccountNode::ChangeBalance(int32_t delta) {
  NotifyChanged();
  if (auto* parent = dynamic_cast<TAccountNode*>(Parent()))
    parent->ChangeBalance(delta);
}

void TAccountNode::MarkModified() const {
  if (TTreeList* list = OwnerList())
    list->MarkModified();
}

std::string TAccountNode::NameWithBalance(bool withBalance) const {
  return withBalance ? name_ + ": " + FormatAmount(Balance()) : name_;
}

void TAccountNode::Streamer::Write(opstream& os) const {
  const TAccountNode& node = Object();
  os.WriteWord32(node.Expanded() ? 1 : 0);
  os.WriteWord32(node.id_);
  os.WriteWord32(static_cast<uint32_t>(node.ChildCount()));
  WriteTreeChildren(os, node);
}

void TAccountNode::Streamer::Read(ipstream& is, uint32_t version) {
  TAccountNode& node = Object();
  if (!KnownVersion(is, version, kClassVersion))
    return;
  node.SetExpanded(is.ReadWord() != 0);
  node.SetDisplayMark(false);
  node.id_ = is.ReadWord();
  uint32_t count = is.ReadWord();
  if (!is.Good())
    return;
  // Accounts hold no children; a record that claims some is damaged.
  if (count != 0 && !node.AcceptsChildren()) {
    is.SetState(pstream::kFailed);
    return;
  }
  ReadTreeChildren<TAccountNode>(is, node, count, [](const TAccountNode& child) {
    return dynamic_cast<const TAccountRoot*>(&child) == nullptr;
  });
}

// ---- TAccountRoot ---------------------------------------------------------

TAccountRoot::TAccountRoot() {
  name_ = "Accounts";
}

std::string TAccountRoot::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showAccountRootBalance);
}

void TAccountRoot::Streamer::Write(opstream& os) const {
  os.WriteBase<TAccountNode>(Object());
  os.WriteString(Object().name_);
}

void TAccountRoot::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TAccountNode>(Object());
  is.ReadString(Object().name_, kNameCapacity);
}

// ---- TAccountGroup --------------------------------------------------------

void TAccountGroup::SetDescription(std::string_view description) {
  description_ = FitField(description, kDescriptionCapacity);
}

void TAccountGroup::SetProperties(const TGroupProperties& values) {
  SetName(values.name);
  SetDescription(values.description);
  NotifyChanged();
  MarkModified();
}

std::string TAccountGroup::DisplayText(const TListDisplayOptions& options) const {
  return NameWithBalance(options.showGroupBalances);
}

void TAccountGroup::Streamer::Write(opstream& os) const {
  os.WriteBase<TAccountNode>(Object());
  os.WriteString(Object().name_);
  os.WriteString(Object().description_);
}

void TAccountGroup::Streamer::Read(ipstream& is, uint32_t version) {
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TAccountNode>(Object());
  is.ReadString(Object().name_, kNameCapacity);
  is.ReadString(Object().description_, kDescriptionCapacity);
}

// ---- TAccount -------------------------------------------------------------

void TAccount::SetDescription(std::string_view description) {
  description_ = FitField(description, kDescriptionCapacity);
}

void TAccount::ReplaceDefaultEnvelope(uint32_t oldId, uint32_t newId) {
  if (defaultEnvelope_ != oldId)
    return;
  defaultEnvelope_ = newId;
  MarkModified();
}

TAccountProperties TAccount::Properties() const {
  return {name_, description_, type_, defaultEnvelope_};
}

void TAccount::SetProperties(const TAccountProperties& values) {
  SetName(values.name);
  SetDescription(values.description);
  type_ = values.type;
  defaultEnvelope_ = values.defaultEnvelope;
  NotifyChanged();
  MarkModified();
}

void TAccount::ChangeBalance(int32_t delta) {
  balance_ = AddWrapping(balance_, delta);
  TAccountNode::ChangeBalance(delta);
  MarkModified();
}

void TAccount::ChangeClearedBalance(int32_t delta) {
  cleared_ = AddWrapping(cleared_, delta);
  NotifyChanged();
  MarkModified();
}

bool TAccount::GoesAfter(const TTreeItem& other) const {
  return dynamic_cast<const TAccountGroup*>(&other) != nullptr;
}

std::string TAccount::DisplayText(const TListDisplayOptions& options) const {
  const std::string balance = FormatAmount(TAmount(balance_));
  const std::string cleared = FormatAmount(TAmount(cleared_));
  if (options.showAccountBalances && options.showReconcileBalances) {
    return name_ + ": " + balance + " [" + cleared + "]";
  }
  if (options.showAccountBalances)
    return name_ + ": " + balance;
  if (options.showReconcileBalances)
    return name_ + ": [" + cleared + "]";
  return name_;
}

void TAccount::Streamer::Write(opstream& os) const {
  const TAccount& account = Object();
  os.WriteBase<TAccountNode>(account);
  os.WriteWord32(kDataFormat);
  os.WriteString(account.name_);
  os.WriteString(account.description_);
  os.WriteWord32(account.type_);
  os.WriteWord32(account.defaultEnvelope_);
  os.WriteWord32(static_cast<uint32_t>(account.balance_));
  os.WriteWord32(static_cast<uint32_t>(account.cleared_));
}

void TAccount::Streamer::Read(ipstream& is, uint32_t version) {
  TAccount& account = Object();
  if (!KnownVersion(is, version, kClassVersion))
    return;
  is.ReadBase<TAccountNode>(account);
  uint32_t marker = is.ReadWord();
  if (!is.Good())
    return;
  if (marker < kFirstMarker) {
    // The oldest block has no marker: the first word is the length of the name that follows.
    if (marker > kNameCapacity - 1) {
      is.SetState(pstream::kFailed);
      return;
    }
    std::string name(marker, '\0');
    is.ReadBytes(name.data(), name.size());
    if (!is.Good())
      return;
    account.name_ = std::move(name);
  } else {
    is.ReadString(account.name_, kNameCapacity);
  }
  is.ReadString(account.description_, kDescriptionCapacity);
  account.type_ = is.ReadWord();
  account.defaultEnvelope_ = is.ReadWord();
  account.balance_ = static_cast<int32_t>(is.ReadRaw32());
  account.cleared_ = static_cast<int32_t>(is.ReadRaw32());
  if (marker == kDataFormatWithDate) {
    // A date that no longer means anything: day, month and year are read and dropped.
    is.ReadByte();
    is.ReadByte();
    is.ReadWord();
  }
}
