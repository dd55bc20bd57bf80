#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/managed_list.h"
#include "core/template_store.h"
#include "planning/xtemplate.h"
#include "transactions/template_fill.h"

class TVorlaData;

/// All transaction templates of a document, in the order they were made, with the identifiers
/// they are known by. The document owns it; it also serves the ledger command "Apply Template".
class TXTemplateManager final : public TManagedList,
                                public TTemplateStore,
                                public TXTemplateApplier {
 public:
  static constexpr uint32_t kGrowth = 10;
  static constexpr const char* kChooseCaption = "Choose Transaction Template";

  TXTemplateManager();
  explicit TXTemplateManager(TStreamableInit) : TXTemplateManager() {}
  ~TXTemplateManager() override;

  TXTemplate& Add(std::unique_ptr<TXTemplate> item);
  /// A new empty template with a fresh identifier.
  TXTemplate& AddNew();
  TXTemplate* Find(uint32_t id) const;
  /// The first template whose name matches without regard to case.
  TXTemplate* FindByName(std::string_view name) const;
  TXTemplate* At(size_t position) const;

  /// "Copy Item": a copy of the template with a fresh identifier and the name "copy of NAME"
  /// (or "copy 2 of NAME", "copy 3 of NAME" ... while that name is taken). Marks the document
  /// modified. Null when no template has the identifier.
  TXTemplate* Copy(uint32_t id);
  /// The name a copy of a template called `name` gets among these templates.
  std::string CopyName(std::string_view name) const;
  void ReplaceEnvelope(uint32_t oldId, uint32_t newId);
  /// Marks the document modified (a template was edited).
  void SetModified();
  TVorlaData* Document() const { return document_; }

  // TTemplateStore.
  void Attach(TVorlaData& document) override;
  size_t TemplateCount() const override { return Count(); }
  void ReplaceTemplateEnvelope(uint32_t oldId, uint32_t newId) override {
    ReplaceEnvelope(oldId, newId);
  }
  const TIdList& TemplateIds() const override { return Ids(); }
  void WriteTemplates(opstream& os) const override { TManagedList::Write(os); }
  void ReadTemplates(ipstream& is) override { TManagedList::Read(is); }

  // TXTemplateApplier: the overwrite question, the choice of a template, the filling.
  bool ApplyTemplate(TXItem& item) override;

  /// The registration that lets the document make its templates; a template manager is never
  /// written as an object record of its own.
  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Read(ipstream& is, uint32_t) override { Object().ReadTemplates(is); }
    void Write(opstream& os) const override { Object().WriteTemplates(os); }
    uint32_t FormatVersion() const override { return 1; }
    TXTemplateManager& Object() const { return dynamic_cast<TXTemplateManager&>(*GetObject()); }
  };

 protected:
  std::unique_ptr<TManagedItem> CreateItem() const override;
  /// A template of format 1 with no items and an empty name.
  uint64_t MinItemSize() const override { return 24; }

 private:
  /// The next identifier of the list that no template holds.
  uint32_t FreshId();

  TVorlaData* document_ = nullptr;
};

/// The template manager of a document (of a program that has templates).
TXTemplateManager& TemplatesOf(TVorlaData& document);
const TXTemplateManager& TemplatesOf(const TVorlaData& document);
