#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/account_node.h"
#include "core/id_list.h"
#include "core/id_object_list.h"
#include "core/streamable.h"
#include "core/tree_list.h"

class TEnvelopeList;
class TUserPort;

/// The six kinds of account, by identifier 1 to 6. A name that is none of the first five is an
/// investment account.
class TAccountTypeList final : public TSimpleIdObjectList {
 public:
  TAccountTypeList();
  uint32_t IdOfName(std::string_view name) const override;
};

/// The document's account tree: the root, every group and account under it, and the allocator
/// of their identifiers. Accounts are reached by identifier from everywhere else; the balance
/// operations refuse identifiers that are not accounts.
class TAccountList final : public TTreeList, public TIdObjectList, public TStreamableBase {
 public:
  /// Which nodes `Names` includes.
  enum NameFlags : unsigned { kAccountNames = 1, kGroupNames = 2, kOtherNames = 4, kAllNames = 7 };
  static constexpr uint32_t kIdGrowth = 25;
  static constexpr const char* kNoEnvelopeMessage =
      "You must have at least one Envelope in the Envelope List before you can create a new "
      "Account.  Create at least one Envelope and then create new Accounts.";
  static constexpr const char* kDeleteQuestion =
      "Deleting an account can significantly change your data.  All past allocations to and "
      "payments from Envelopes through this account will be lost.  This will change your Envelope "
      "balances.  Instead of deleting this account, consider creating an account group for old, "
      "unused accounts.  Then drop this account into that group.  This would keep all of your "
      "previous activity intact.  Are you sure you want to delete this account?";

  /// An empty tree: the root "Accounts" and no identifiers taken.
  TAccountList();
  explicit TAccountList(TStreamableInit) : TAccountList() {}
  ~TAccountList() override;

  TAccountRoot& Root() const { return static_cast<TAccountRoot&>(*RootItem()); }
  TIdList& Ids() { return ids_; }
  const TIdList& Ids() const { return ids_; }

  /// The first node in display order with the identifier (the root has 0), or null.
  TAccountNode* FindNode(uint32_t id) const;
  /// The account with the identifier, or null when it is no account.
  TAccount* Account(uint32_t id) const;

  int32_t GetBalance(uint32_t accountId) const;
  int32_t GetRecBalance(uint32_t accountId) const;
  void ChangeBalance(uint32_t accountId, int32_t delta);
  void ChangeRecBalance(uint32_t accountId, int32_t delta);
  uint32_t GetDefaultEnvelope(uint32_t accountId) const;
  /// Points every account whose default envelope is `oldId` at `newId`.
  void ReplaceDefaultEnvelope(uint32_t oldId, uint32_t newId);

  /// The account's name, or "None" when no account has the identifier.
  std::string NameOfAccount(uint32_t accountId) const;
  size_t NumberOfAccounts() const;
  /// The identifier of the account at a 1-based position in display order, or 0.
  uint32_t NthAccountId(size_t position) const;
  /// The names of the nodes of the kinds `flags` asks for, in display order.
  TBxStringList Names(unsigned flags) const;
  /// The accounts as choices, in display order.
  std::vector<TItemChoice> AccountChoices() const;
  /// The names of every node but `except`, for the unique-name rule of the dialogs.
  std::vector<std::string> TakenNames(const TTreeItem* except) const;

  TBxStringList Names() const override { return Names(kAllNames); }
  uint32_t IdOfName(std::string_view name) const override;
  /// The node's name, or "Invalid Item Reference" when no node has the identifier.
  std::string NameOfId(uint32_t id) const override;
  /// The sum of all account balances.
  TAmount Total() const { return Root().Balance(); }

  /// A fresh identifier; one that a node of a damaged file already uses is passed over.
  uint32_t NewId();

  /// The new-account command on a node: the properties dialog, then the account is placed by the
  /// node's add operation. Null when refused or cancelled; the identifier stays taken either way.
  TAccount* AddAccount(TAccountNode& at, const TEnvelopeList& envelopes);
  /// The wizard's way: the values are given, the default envelope by name.
  TAccount* AddAccount(TAccountNode& at, const TEnvelopeList& envelopes, std::string_view name,
                       std::string_view description, uint32_t type,
                       std::string_view defaultEnvelopeName);
  /// The new-group command on the root or a group (null elsewhere, on Cancel).
  TAccountGroup* AddGroup(TAccountNode& at);
  /// Opens the properties dialog of a node and applies the values on OK.
  bool EditProperties(TAccountNode& node, const TEnvelopeList& envelopes);
  /// Deletes a node with its questions and refusals; true when it is gone.
  bool DeleteItem(TAccountNode& node);

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    /// The root as a pointer record, then the identifier list.
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAccountList& Object() const { return dynamic_cast<TAccountList&>(*GetObject()); }
  };

 private:
  TUserPort& User() const;

  TIdList ids_{kIdGrowth};
};
