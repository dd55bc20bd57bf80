#include "core/managed_list.h"

#include <algorithm>

#include "core/pstream.h"

void TManagedItem::Write(opstream& os) const {
  os.WriteWord32(id_);
}

void TManagedItem::Read(ipstream& is) {
  id_ = is.ReadWord();
}

TManagedItem& TManagedList::Add(std::unique_ptr<TManagedItem> item) {
  if (item->id_ == 0)
    item->id_ = ids_.Allocate();
  item->owner_ = this;
  items_.push_back(std::move(item));
  return *items_.back();
}

TManagedItem& TManagedList::AddNew() {
  std::unique_ptr<TManagedItem> item = CreateItem();
  item->id_ = ids_.Allocate();
  return Add(std::move(item));
}

bool TManagedList::Remove(uint32_t id) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [id](const auto& item) { return item->Id() == id; });
  if (it == items_.end())
    return false;
  ids_.Retire(id);
  // The item leaves the list before it is destroyed, so its destructor finds a consistent list.
  std::unique_ptr<TManagedItem> item = std::move(*it);
  items_.erase(it);
  return true;
}

TManagedItem* TManagedList::Find(uint32_t id) const {
  for (const auto& item : items_) {
    if (item->Id() == id)
      return item.get();
  }
  return nullptr;
}

TManagedItem* TManagedList::FindByName(std::string_view name) const {
  for (const auto& item : items_) {
    if (EqualNoCase(item->Name(), name))
      return item.get();
  }
  return nullptr;
}

TManagedItem* TManagedList::At(size_t position) const {
  if (position == 0 || position > items_.size())
    return nullptr;
  return items_[position - 1].get();
}

TBxStringList TManagedList::Names() const {
  TBxStringList names;
  for (const auto& item : items_)
    names.Append(item->Name());
  return names;
}

uint32_t TManagedList::IdOfName(std::string_view name) const {
  TManagedItem* item = FindByName(name);
  return item ? item->Id() : 0;
}

std::string TManagedList::NameOfId(uint32_t id) const {
  TManagedItem* item = Find(id);
  return item ? item->Name() : "error";
}

void TManagedList::Write(opstream& os) const {
  os.WriteWord32(static_cast<uint32_t>(items_.size()));
  for (const auto& item : items_)
    item->Write(os);
  ids_.Write(os);
}

void TManagedList::Read(ipstream& is) {
  uint32_t count = is.ReadWord();
  if (!is.CanHold(count, MinItemSize()))
    return;
  for (uint32_t i = 0; i < count && is.Good(); ++i) {
    std::unique_ptr<TManagedItem> item = CreateItem();
    item->Read(is);
    if (!is.Good())
      return;
    item->owner_ = this;
    items_.push_back(std::move(item));
  }
  ids_.Read(is);
}
