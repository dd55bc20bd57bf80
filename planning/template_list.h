#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/amount.h"
#include "planning/template_item.h"
#include "transactions/ledger_list.h"

class TEnvelopeList;
class TUserPort;
class TXTemplate;
class ipstream;
class opstream;

/// The items of a transaction template, and the row source of the template editor's grid.
/// While the editor shows the list, a page of 150 rows covers a run of the items, and the rows
/// after the last item are new empty items, members of the list like the others, in which the
/// user types. `Compact` drops the empty ones again and puts the items in envelope-tree order.
class TXTemplateList final : public TLedgerList {
 public:
  static constexpr int kPageRows = 150;
  /// How many items a load at the end puts above the empty rows at most.
  static constexpr int kLiveRowsAtEnd = 125;
  /// The only item-list version there is.
  static constexpr uint32_t kListVersion = 1;
  /// The label of items that the allocation plan adds.
  static constexpr const char* kAllocationLabel = "Allocate to ~e";

  explicit TXTemplateList(TXTemplate* owner = nullptr) : owner_(owner) {}
  ~TXTemplateList() override;
  TXTemplateList(const TXTemplateList&) = delete;
  TXTemplateList& operator=(const TXTemplateList&) = delete;

  /// Replaces the items with copies of `other`'s (envelope, amount, label).
  void CopyFrom(const TXTemplateList& other);

  /// The number of items, the editor's empty rows included.
  size_t Count() const { return items_.size(); }
  /// The item at a 1-based position, or null.
  TXTemplateItem* At(size_t position) const;
  /// Appends an item.
  TXTemplateItem& Add(uint32_t envelopeId, int32_t amount, std::string_view label);
  /// Deletes every item (the page is given up).
  void Clear();

  /// The sum of the amounts of the items that have an envelope identifier.
  TAmount TotalAmount() const;
  /// The sum of the amounts of the items of one envelope.
  TAmount AmountForEnvelope(uint32_t envelopeId) const;
  /// Appends an item of `envelopeId` with the label "Allocate to ~e".
  void AddAllocation(uint32_t envelopeId, TAmount amount);
  void AddAllocation(uint32_t envelopeId, int32_t cents);
  void ReplaceEnvelope(uint32_t oldId, uint32_t newId);
  /// While the page is in use: deletes the empty page rows, gives the page up and sorts the
  /// items by their envelope's place in the envelope tree (items without one first; equal
  /// places keep their order).
  void Compact();
  bool PageInUse() const { return pageInUse_; }

  /// List version, count, then per item its envelope, amount (4 bytes) and label.
  void Write(opstream& os) const;
  /// Replaces the items with the stored ones; a list of another version has none. A count that
  /// the stream cannot hold or a label that is too long fails the stream.
  void Read(ipstream& is);

  TXTemplate* Template() const { return owner_; }
  /// The document's envelopes, when the list belongs to a document's template.
  const TEnvelopeList* Envelopes() const;
  TUserPort* User() const;
  /// The envelope a new empty row starts in: the first envelope in the tree's walking order.
  uint32_t FirstEnvelopeId() const;
  /// Told after any column of an item was set (the editor shows the total).
  void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
  void ItemChanged();

  // TLedgerList.
  TLedgerItem* Item(int row) override;
  int LoadPrevious(int n) override;
  int LoadNext(int n) override;
  void LoadFromTop() override;
  void LoadAtEnd() override;
  int LiveCount() const override;
  int RowCount() const override { return kPageRows; }
  uint32_t PositionOfRow(int row) override;
  int GoToPosition(uint32_t position) override;
  uint32_t PositionOfLast() override;
  uint32_t PositionOfFirst() override;
  /// Takes the row's item out of the list; a new empty row takes its place at the end.
  void DeleteRow(int row) override;
  std::string HeaderText(int column) const override;

 private:
  /// Puts the page over the items from index `first` on, appending empty items up to its end.
  void FillPage(size_t first);
  std::unique_ptr<TXTemplateItem> NewEmptyItem();
  /// The index after the last item that is not empty.
  size_t RealEnd() const;

  TXTemplate* owner_;
  std::vector<std::unique_ptr<TXTemplateItem>> items_;
  bool pageInUse_ = false;
  size_t pageStart_ = 0;
  std::function<void()> changed_;
};
