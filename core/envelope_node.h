#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/idler.h"
#include "core/item_properties.h"
#include "core/streamable.h"
#include "core/tree_list.h"

class TEnvelopeList;
class TEnv;

/// A node of the envelope tree: the root, a bundle, an association, an envelope or an alias.
/// Bundles, associations and envelopes share the list's identifier space; an alias carries its
/// envelope's identifier. Siblings keep the order envelopes, aliases, bundles, associations,
/// the newest first within each kind.
class TEnvelopeNode : public TTreeItem, public TStreamableBase {
 public:
  uint32_t Id() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  /// The list that shows the node, or null while it belongs to none.
  TEnvelopeList* List() const;

  std::string Name() const override { return name_; }
  void SetName(std::string_view name);
  /// The description; roots and aliases have none.
  virtual std::string Description() const { return {}; }
  /// The stored balance of an envelope, or the sum that a grouping node shows.
  virtual TAmount Balance() const;
  /// Passes a change of an envelope's balance up the tree.
  virtual void ChangeBalance(int32_t delta);
  /// Whether other nodes can be placed under this one.
  virtual bool AcceptsChildren() const { return true; }
  /// Whether the node has a watchdog the user may toggle (the root, bundles and envelopes).
  virtual bool HasWatchdog() const { return false; }
  /// The stored watchdog switch (the node's second tree flag).
  bool Watchdog() const { return watchdog_; }
  void SetWatchdog(bool on) { watchdog_ = on; }
  bool MayDelete() const { return Parent() != nullptr; }
  bool GoesAfter(const TTreeItem& other) const override;

  /// The part every envelope-tree record begins with: the tree links and the watchdog switch.
  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    /// word32 expanded, word32 watchdog, word32 identifier, word32 child count, then the
    /// children as pointer records from the last to the first.
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TEnvelopeNode& Object() const { return dynamic_cast<TEnvelopeNode&>(*GetObject()); }
  };

 protected:
  TEnvelopeNode() = default;
  explicit TEnvelopeNode(uint32_t id) : id_(id) {}
  /// The place of the node's kind among its siblings: lower kinds come first.
  virtual int SiblingRank() const = 0;
  void MarkModified() const;
  std::string NameWithBalance(bool withBalance) const;

  std::string name_;

 private:
  uint32_t id_ = 0;
  bool watchdog_ = true;
};

/// What a watchdog remembers between idle moments; never stored.
struct TWatchdogState {
  bool firstLook = true;
  int64_t lastBalance = 0;
};

/// The top of the envelope tree, "Envelopes" unless renamed. Its total leaves out associations,
/// whose aliases repeat envelopes counted elsewhere.
class TEnvelopeRoot final : public TEnvelopeNode {
 public:
  TEnvelopeRoot();
  explicit TEnvelopeRoot(TStreamableInit) {}

  TAmount Balance() const override;
  void ChangeBalance(int32_t delta) override;
  bool HasWatchdog() const override { return true; }
  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "envelope-root"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TEnvelopeRoot& Object() const { return dynamic_cast<TEnvelopeRoot&>(*GetObject()); }
  };

 protected:
  int SiblingRank() const override { return 4; }
};

/// A named collection of aliases: it shows envelopes a second time, so its balance repeats money
/// that the envelopes themselves already count.
class TAssociation final : public TEnvelopeNode {
 public:
  explicit TAssociation(uint32_t id) : TEnvelopeNode(id) {}
  explicit TAssociation(TStreamableInit) {}

  std::string Description() const override { return description_; }
  void SetDescription(std::string_view description);
  TGroupProperties Properties() const { return {name_, description_}; }
  void SetProperties(const TGroupProperties& values);
  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "association"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TAssociation& Object() const { return dynamic_cast<TAssociation&>(*GetObject()); }
  };

 protected:
  int SiblingRank() const override { return 3; }

 private:
  std::string description_;
};

/// A named group of envelopes and bundles with a watchdog over its total.
class TBundle final : public TEnvelopeNode, public TIdler {
 public:
  explicit TBundle(uint32_t id) : TEnvelopeNode(id) {}
  explicit TBundle(TStreamableInit) {}

  std::string Description() const override { return description_; }
  void SetDescription(std::string_view description);
  /// The watchdog limit in currency units.
  float Threshold() const { return threshold_; }
  void SetThreshold(float threshold) { threshold_ = threshold; }
  TBundleProperties Properties() const { return {name_, description_, threshold_}; }
  void SetProperties(const TBundleProperties& values);
  bool HasWatchdog() const override { return true; }
  /// The watchdog's look at the balance.
  bool Idle() override;
  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "bundle"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TBundle& Object() const { return dynamic_cast<TBundle&>(*GetObject()); }
  };

 protected:
  int SiblingRank() const override { return 2; }

 private:
  std::string description_;
  float threshold_ = 0.0f;
  TWatchdogState watch_;
};

/// A second appearance of an envelope, usually in an association. It has its envelope's
/// identifier, name and balance and passes the envelope's balance changes to its own parents.
class TEnvelopeAlias final : public TEnvelopeNode {
 public:
  /// A new alias at the head of the envelope's chain.
  explicit TEnvelopeAlias(TEnv& target);
  explicit TEnvelopeAlias(TStreamableInit) {}
  ~TEnvelopeAlias() override;

  /// The envelope shown, or null until the alias is bound.
  TEnv* Target() const { return target_; }
  /// The next older alias of the same envelope.
  TEnvelopeAlias* NextAlias() const { return nextAlias_; }
  /// Joins the chain of `target`, whose identifier the alias carries.
  void Bind(TEnv& target);

  std::string Name() const override;
  TAmount Balance() const override;
  bool AcceptsChildren() const override { return false; }
  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "alias"; }

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    void Write(opstream& os) const override;
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TEnvelopeAlias& Object() const { return dynamic_cast<TEnvelopeAlias&>(*GetObject()); }
  };

 protected:
  int SiblingRank() const override { return 1; }

 private:
  friend class TEnv;
  void Unbind();

  TEnv* target_ = nullptr;
  TEnvelopeAlias* nextAlias_ = nullptr;
};

/// An envelope: a named pot of money with a stored balance and cleared balance that transaction
/// operations change by deltas, a watchdog over its balance and a chain of aliases (newest
/// first). Destroying it destroys its aliases first.
class TEnv final : public TEnvelopeNode, public TIdler {
 public:
  static constexpr uint32_t kClassVersion = 3;

  explicit TEnv(uint32_t id) : TEnvelopeNode(id) {}
  explicit TEnv(TStreamableInit) {}
  ~TEnv() override;

  std::string Description() const override { return description_; }
  void SetDescription(std::string_view description);
  float Threshold() const { return threshold_; }
  void SetThreshold(float threshold) { threshold_ = threshold; }
  bool InAllocationPlan() const { return inPlan_; }
  void SetInAllocationPlan(bool inPlan);
  TEnvelopeProperties Properties() const;
  void SetProperties(const TEnvelopeProperties& values);

  int32_t StoredBalance() const { return balance_; }
  int32_t ClearedBalance() const { return cleared_; }
  TAmount Balance() const override { return TAmount(balance_); }
  /// Adds `delta`, redraws, marks the document modified and passes the change to the parents
  /// and to every alias.
  void ChangeBalance(int32_t delta) override;
  void ChangeClearedBalance(int32_t delta);
  bool AcceptsChildren() const override { return false; }
  bool HasWatchdog() const override { return true; }

  /// A new alias of this envelope, at the head of the chain; the caller places it.
  std::unique_ptr<TEnvelopeAlias> MakeAlias();
  TEnvelopeAlias* FirstAlias() const { return firstAlias_; }

  bool Idle() override;
  std::string DisplayText(const TListDisplayOptions& options) const override;
  std::string_view Kind() const override { return "envelope"; }

  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    /// The node part, name, description, threshold, balance, cleared balance and the
    /// in-allocation-plan flag.
    void Write(opstream& os) const override;
    /// Version 1 has neither cleared balance nor plan flag, version 2 no plan flag.
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TEnv& Object() const { return dynamic_cast<TEnv&>(*GetObject()); }
  };

 protected:
  int SiblingRank() const override { return 0; }

 private:
  friend class TEnvelopeAlias;

  std::string description_;
  float threshold_ = 0.0f;
  bool inPlan_ = true;
  int32_t balance_ = 0;
  int32_t cleared_ = 0;
  TWatchdogState watch_;
  TEnvelopeAlias* firstAlias_ = nullptr;
};
