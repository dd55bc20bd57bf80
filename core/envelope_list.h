#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/envelope_node.h"
#include "core/id_list.h"
#include "core/id_object_list.h"
#include "core/item_properties.h"
#include "core/streamable.h"
#include "core/tree_list.h"

class TAccountList;
class TUserPort;

/// The document's envelope tree: the root, the bundles, associations, envelopes and aliases
/// under it, and the allocator of their identifiers. Envelopes are reached by identifier from
/// everywhere else; at least one must exist before accounts can be made.
class TEnvelopeList final : public TTreeList, public TIdObjectList, public TStreamableBase {
 public:
  static constexpr uint32_t kIdGrowth = 25;

  /// An empty tree: the root "Envelopes" with identifier 0 and no identifiers taken.
  TEnvelopeList();
  explicit TEnvelopeList(TStreamableInit) : TEnvelopeList() {}
  ~TEnvelopeList() override;

  TEnvelopeRoot& Root() const { return static_cast<TEnvelopeRoot&>(*RootItem()); }
  TIdList& Ids() { return ids_; }
  const TIdList& Ids() const { return ids_; }

  /// The first node in display order with the identifier (an envelope before its aliases,
  /// unless an alias comes first in the tree), or null.
  TEnvelopeNode* FindNode(uint32_t id) const;
  /// The envelope with the identifier, or null.
  TEnv* Envelope(uint32_t id) const;

  void EnvelopeChangeBalance(uint32_t envelopeId, int32_t delta);
  void EnvelopeChangeRecBalance(uint32_t envelopeId, int32_t delta);
  int32_t EnvelopeBalance(uint32_t envelopeId) const;
  int32_t EnvelopeRecBalance(uint32_t envelopeId) const;
  size_t NumberOfEnvelopes() const;
  /// The in-allocation-plan flag of an envelope (false for an identifier that is no envelope).
  bool InAllocationPlan(uint32_t envelopeId) const;
  void SetInAllocationPlan(uint32_t envelopeId, bool inPlan);

  /// The envelope's name, or "None" when no envelope has the identifier.
  std::string NameOfEnvelope(uint32_t envelopeId) const;
  /// The identifier of the first envelope whose name matches without regard to case, or 0.
  uint32_t EnvelopeIdOfName(std::string_view name) const;
  /// The envelopes as choices, in display order.
  std::vector<TItemChoice> EnvelopeChoices() const;
  /// The names of every node but `except` and the aliases, for the unique-name rule.
  std::vector<std::string> TakenNames(const TTreeItem* except) const;

  /// The names of all nodes but the aliases, in display order.
  TBxStringList Names() const override;
  uint32_t IdOfName(std::string_view name) const override;
  /// The node's name, or "Invalid Item Reference" when no node has the identifier.
  std::string NameOfId(uint32_t id) const override;
  /// The envelope total: the root's balance, which leaves out associations.
  TAmount Total() const { return Root().Balance(); }

  /// A fresh identifier; one that a node of a damaged file already uses is passed over.
  uint32_t NewId();
  /// Gives a root without identifier one. Reading does it; a new budget needs it before its
  /// first undoable step, since restoring the tree would otherwise number the root anew.
  void NumberRoot();
  /// Binds every alias to the envelope with its identifier. An alias whose envelope is missing
  /// is told to `user` (when given) and removed.
  void BindAliases(TUserPort* user);

  /// "Choose Envelope": the identifier chosen, or 0 on Cancel.
  uint32_t ChooseEnvelope() const;
  /// The insert command: "Edit Envelope Properties", then the envelope is placed on `at` (the
  /// root, a bundle or an envelope) as a drop would place it. Null when cancelled or refused.
  TEnv* AddEnvelope(TEnvelopeNode& at);
  /// The wizard's way: name and watchdog switch are given.
  TEnv* AddEnvelope(TEnvelopeNode& at, std::string_view name, bool watchdog);
  /// The insert command for a bundle on the root or a bundle.
  TBundle* AddBundle(TEnvelopeNode& at);
  /// The insert command for an association on the root.
  TAssociation* AddAssociation(TEnvelopeNode& at);
  /// Opens the properties dialog of a node (none for aliases) and applies the values on OK.
  bool EditProperties(TEnvelopeNode& node);
  /// Deletes a node with its refusals; an envelope hands its transactions, its templates and the
  /// accounts that default to it to a replacement the user chooses. True when it is gone.
  bool DeleteItem(TEnvelopeNode& node, TAccountList& accounts);
  /// Flips a watchdog switch (the menu command); false for nodes without a watchdog.
  bool ToggleWatchdog(TEnvelopeNode& node);
  /// The double-click on the watchdog column: asks first, flips on Yes.
  bool AskToggleWatchdog(TEnvelopeNode& node);

  class Streamer : public TNewStreamer {
   public:
    static constexpr uint32_t kClassVersion = 1;
    using TNewStreamer::TNewStreamer;
    /// The root as a pointer record, then the identifier list.
    void Write(opstream& os) const override;
    /// Reads root and identifiers, gives a root without identifier one, then binds the aliases.
    void Read(ipstream& is, uint32_t version) override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TEnvelopeList& Object() const { return dynamic_cast<TEnvelopeList&>(*GetObject()); }
  };

 private:
  TUserPort& User() const;
  template <class Node>
  Node* Insert(TEnvelopeNode& at, std::unique_ptr<Node> node);

  TIdList ids_{kIdGrowth};
};
