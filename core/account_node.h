#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/item_properties.h"
#include "core/streamable.h"
#include "core/tree_list.h"

class TAccountList;

/// A node of the account tree: the root, a group or an account. Every node but the root has an
/// identifier from the account list; groups and accounts share that identifier space.
class TAccountNode : public TTreeItem, public TStreamableBase {
 public:
  uint32_t Id() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  /// The list that shows the node, or null while it belongs to none.
  TAccountList* List() const;

  std::string Name() const override { return name_; }
  void SetName(std::string_view name);
  /// The description; roots have none.
  virtual std::string Description() const { return {}; }
  /// The stored balance of an account, the sum of the children's balances for the others.
  virtual TAmount Balance() const;
  /// Passes a change of an account's balance up the tree: the node is redrawn and its parent
  /// hears of the change too.
  virtual void ChangeBalance(int32_t delta);
  /// Whether accounts and groups can be placed under this node.
  virtual bool AcceptsChildren() const { return true; }
  /// The root alone can never be deleted.
  bool MayDelete() const { return Parent() != nullptr; }

  /// The part every account-tree record begins with: the tree links of the node.
  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    /// word32 expanded, word32 identifier, word32 child count, then the children as pointer
    /// records from the last to the first.
    void Write(opstream& os) const override;
    /// Reads the links back, placing each child with AddChild so that the order comes back.
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAccountNode& Object() const { return dynamic_cast<TAccountNode&>(*GetObject()); }
  };

 protected:
  TAccountNode() = default;
  explicit TAccountNode(uint32_t id) : id_(id) {}
  /// Marks the document of the owner list modified, when there is one.
  void MarkModified() const;
  /// "%s: %s" with the name and the balance when `withBalance`, else the name.
  std::string NameWithBalance(bool withBalance) const;

  std::string name_;

 private:
  uint32_t id_ = 0;
};

/// The top of the account tree, "Accounts" unless renamed; it has no identifier of its own.
class TAccountRoot final : public TAccountNode {
 public:
  TAccountRoot();
  explicit TAccountRoot(TStreamableInit) {}

  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "account-root"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAccountRoot& Object() const { return dynamic_cast<TAccountRoot&>(*GetObject()); }
  };
};

/// A named group of accounts and further groups; its balance is the sum of its children's.
class TAccountGroup final : public TAccountNode {
 public:
  explicit TAccountGroup(uint32_t id) : TAccountNode(id) {}
  explicit TAccountGroup(TStreamableInit) {}

  std::string Description() const override { return description_; }
  void SetDescription(std::string_view description);
  TGroupProperties Properties() const { return {name_, description_}; }
  void SetProperties(const TGroupProperties& values);

  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "account-group"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAccountGroup& Object() const { return dynamic_cast<TAccountGroup&>(*GetObject()); }
  };

 private:
  std::string description_;
};

/// A real-world account. Its balance and cleared balance are stored and changed by deltas; every
/// change redraws the node and marks the document modified.
class TAccount final : public TAccountNode {
 public:
  /// The marker of the current account data block and of the one with a trailing date.
  static constexpr uint32_t kDataFormat = 0x1002;
  static constexpr uint32_t kDataFormatWithDate = 0x1001;
  /// First words below this are the name length of the unmarked oldest block.
  static constexpr uint32_t kFirstMarker = 0x1000;

  explicit TAccount(uint32_t id) : TAccountNode(id) {}
  explicit TAccount(TStreamableInit) {}

  std::string Description() const override { return description_; }
  void SetDescription(std::string_view description);
  uint32_t Type() const { return type_; }
  void SetType(uint32_t type) { type_ = type; }
  uint32_t DefaultEnvelope() const { return defaultEnvelope_; }
  void SetDefaultEnvelope(uint32_t id) { defaultEnvelope_ = id; }
  /// Points the account at `newId` when its default envelope is `oldId`.
  void ReplaceDefaultEnvelope(uint32_t oldId, uint32_t newId);
  TAccountProperties Properties() const;
  void SetProperties(const TAccountProperties& values);

  int32_t StoredBalance() const { return balance_; }
  int32_t ClearedBalance() const { return cleared_; }
  TAmount Balance() const override { return TAmount(balance_); }
  /// Adds `delta` to the balance (wrapping like the stored 32 bits), redraws, passes the change
  /// to the parent and marks the document modified.
  void ChangeBalance(int32_t delta) override;
  /// Adds `delta` to the cleared balance; the parents keep no cleared sums.
  void ChangeClearedBalance(int32_t delta);
  bool AcceptsChildren() const override { return false; }
  /// Accounts go before every group.
  bool GoesAfter(const TTreeItem& other) const override;

  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "account"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    /// Reads the node part and any of the three account data blocks.
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAccount& Object() const { return dynamic_cast<TAccount&>(*GetObject()); }
  };

 private:
  std::string description_;
  uint32_t type_ = 1;
  uint32_t defaultEnvelope_ = 0;
  int32_t balance_ = 0;
  int32_t cleared_ = 0;
};
