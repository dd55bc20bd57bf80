#include "planning/template_manager.h"

#include "core/model_error.h"
#include "core/stream_registry.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

namespace {

const TStreamableClass registration{TTemplateStore::kClassName, &BuildStreamer<TXTemplateManager>,
                                    typeid(TXTemplateManager)};

// Template names are cut to the field's 127 characters.
std::string FitName(std::string text) {
  if (text.size() >= TXTemplate::kNameSize)
    text.resize(TXTemplate::kNameSize - 1);
  return text;
}

}  // namespace

TXTemplateManager::TXTemplateManager() : TManagedList(kGrowth, kGrowth) {}

TXTemplateManager::~TXTemplateManager() = default;

uint32_t TXTemplateManager::FreshId() {
  // A damaged file may hold templates whose identifiers its identifier list calls free; a new
  // template never shares one with them.
  uint32_t id = Ids().Allocate();
  while (Find(id) != nullptr)
    id = Ids().Allocate();
  return id;
}

TXTemplate& TXTemplateManager::Add(std::unique_ptr<TXTemplate> item) {
  if (item->Id() == 0)
    item->SetId(FreshId());
  return static_cast<TXTemplate&>(TManagedList::Add(std::move(item)));
}

TXTemplate& TXTemplateManager::AddNew() {
  return Add(std::make_unique<TXTemplate>());
}

TXTemplate* TXTemplateManager::Find(uint32_t id) const {
  return static_cast<TXTemplate*>(TManagedList::Find(id));
}

TXTemplate* TXTemplateManager::FindByName(std::string_view name) const {
  return static_cast<TXTemplate*>(TManagedList::FindByName(name));
}

TXTemplate* TXTemplateManager::At(size_t position) const {
  return static_cast<TXTemplate*>(TManagedList::At(position));
}

std::unique_ptr<TManagedItem> TXTemplateManager::CreateItem() const {
  return std::make_unique<TXTemplate>();
}

std::string TXTemplateManager::CopyName(std::string_view name) const {
  const TBxStringList names = Names();
  // The candidates are compared as they will be stored, so that a long name never ends up
  // equal to another template's once it is cut.
  std::string candidate = FitName("copy of " + std::string(name));
  for (unsigned counter = 2; names.PositionOf(candidate) != 0; ++counter)
    candidate = FitName("copy " + std::to_string(counter) + " of " + std::string(name));
  return candidate;
}

TXTemplate* TXTemplateManager::Copy(uint32_t id) {
  const TXTemplate* original = Find(id);
  if (original == nullptr)
    return nullptr;
  auto copy = std::make_unique<TXTemplate>(*original);
  copy->SetName(CopyName(original->Name()));
  TXTemplate& added = Add(std::move(copy));
  SetModified();
  return &added;
}

void TXTemplateManager::ReplaceEnvelope(uint32_t oldId, uint32_t newId) {
  for (size_t i = 1; i <= Count(); ++i)
    At(i)->ReplaceEnvelope(oldId, newId);
}

void TXTemplateManager::SetModified() {
  if (document_ != nullptr)
    document_->SetModified();
}

void TXTemplateManager::Attach(TVorlaData& document) {
  document_ = &document;
  TransactionsOf(document).SetTemplateApplier(this);
}

bool TXTemplateManager::ApplyTemplate(TXItem& item) {
  if (!item.CanApplyTemplate(Count()))
    return false;
  TUserPort& user = item.Manager().User();
  if (TXTemplateFill::NeedsOverwriteQuestion(item) &&
      user.Ask("Quenbrook", TXTemplateFill::kOverwriteQuestion, TMessageButtons::YesNo,
               TMessageIcon::Exclamation) != TMessageAnswer::Yes) {
    return false;
  }
  std::vector<std::string> names;
  for (size_t i = 1; i <= Count(); ++i)
    names.push_back(At(i)->Name());
  size_t chosen = 0;
  if (!user.ChooseName(kChooseCaption, names, chosen) || chosen >= Count())
    return false;
  At(chosen + 1)->ApplyTo(item);
  return true;
}

TXTemplateManager& TemplatesOf(TVorlaData& document) {
  auto* templates = dynamic_cast<TXTemplateManager*>(&document.Templates());
  if (templates == nullptr)
    throw TModelError("The document holds no template manager.");
  return *templates;
}

const TXTemplateManager& TemplatesOf(const TVorlaData& document) {
  const auto* templates = dynamic_cast<const TXTemplateManager*>(&document.Templates());
  if (templates == nullptr)
    throw TModelError("The document holds no template manager.");
  return *templates;
}
