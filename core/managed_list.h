#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/id_list.h"
#include "core/id_object_list.h"

class ipstream;
class opstream;
class TManagedList;

/// An identified item of a `TManagedList`. Its identifier is 0 until the item joins a list.
class TManagedItem {
 public:
  virtual ~TManagedItem() = default;

  /// Writes the identifier; derived classes write their fields after it.
  virtual void Write(opstream& os) const;
  /// Reads the identifier; derived classes read their fields after it.
  virtual void Read(ipstream& is);
  virtual bool IsSame(const TManagedItem& other) const { return this == &other; }
  /// The order of creation stands in where a derived class has nothing better.
  virtual bool GoesAfter(const TManagedItem& other) const {
    return std::less<const TManagedItem*>()(this, &other);
  }
  virtual std::string Name() const = 0;

  uint32_t Id() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  TManagedList* Owner() const { return owner_; }

 private:
  friend class TManagedList;
  TManagedList* owner_ = nullptr;
  uint32_t id_ = 0;
};

/// A flat list of owned identified items in the order they were added, with the allocator of
/// their identifiers. Positions count from 1.
class TManagedList : public TIdObjectList {
 public:
  TManagedList(uint32_t growth, uint32_t reserve) : ids_(growth), reserve_(reserve) {}
  ~TManagedList() override = default;
  TManagedList(const TManagedList&) = delete;
  TManagedList& operator=(const TManagedList&) = delete;

  /// Appends an item, giving it an identifier when it has none.
  TManagedItem& Add(std::unique_ptr<TManagedItem> item);
  /// Appends a new item of the derived class's kind with a fresh identifier.
  TManagedItem& AddNew();
  /// Retires the identifier and destroys the item; false when no item has it.
  bool Remove(uint32_t id);
  TManagedItem* Find(uint32_t id) const;
  /// The first item whose name matches without regard to case.
  TManagedItem* FindByName(std::string_view name) const;
  size_t Count() const { return items_.size(); }
  /// The item at a 1-based position, or null.
  TManagedItem* At(size_t position) const;

  TBxStringList Names() const override;
  uint32_t IdOfName(std::string_view name) const override;
  std::string NameOfId(uint32_t id) const override;

  TIdList& Ids() { return ids_; }
  const TIdList& Ids() const { return ids_; }
  uint32_t Reserve() const { return reserve_; }

  /// word32 count, each item in list order, then the identifier list.
  void Write(opstream& os) const;
  /// Appends the stored items as they were (no new identifiers), then reads the identifier list.
  void Read(ipstream& is);

 protected:
  /// An empty item of the derived class's kind.
  virtual std::unique_ptr<TManagedItem> CreateItem() const = 0;
  /// The fewest bytes one stored item takes; counts in the data are checked against it.
  virtual uint64_t MinItemSize() const { return 2; }

 private:
  TIdList ids_;
  uint32_t reserve_;
  std::vector<std::unique_ptr<TManagedItem>> items_;
};
