#include "core/stream_registry.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

namespace {

struct RegistryTable {
  std::vector<TStreamClassEntry> entries;  // ordered by name, then module
  std::vector<std::pair<std::type_index, std::string>> types;
};

std::shared_mutex& RegistryLock() {
  static std::shared_mutex lock;
  return lock;
}

// Created by the first registration and freed by the last removal.
std::unique_ptr<RegistryTable>& Table() {
  static std::unique_ptr<RegistryTable> table;
  return table;
}

// Byte-wise order of names; equal names are equal when either module is 0.
int Compare(std::string_view name, uint32_t module, const TStreamClassEntry& entry) {
  int byName = name.compare(entry.name);
  if (byName != 0)
    return byName < 0 ? -1 : 1;
  if (module == 0 || entry.module == 0 || module == entry.module)
    return 0;
  return module < entry.module ? -1 : 1;
}

std::vector<TStreamClassEntry>::iterator LowerBound(std::vector<TStreamClassEntry>& entries,
                                                    std::string_view name, uint32_t module) {
  return std::lower_bound(
      entries.begin(), entries.end(), 0,
      [&](const TStreamClassEntry& entry, int) { return Compare(name, module, entry) > 0; });
}

}  // namespace

void TStreamClassRegistry::Register(std::string_view name, TStreamBuilder builder,
                                    const std::type_info& type, uint32_t module) {
  std::unique_lock guard(RegistryLock());
  auto& table = Table();
  if (!table)
    table = std::make_unique<RegistryTable>();
  auto it = LowerBound(table->entries, name, module);
  if (it != table->entries.end() && Compare(name, module, *it) == 0) {
    it->builder = builder;
  } else {
    table->entries.insert(it, TStreamClassEntry{std::string(name), builder, module});
  }
  std::type_index key(type);
  auto typeIt = std::find_if(table->types.begin(), table->types.end(),
                             [&](const auto& pair) { return pair.first == key; });
  if (typeIt == table->types.end()) {
    table->types.emplace_back(key, std::string(name));
  } else {
    typeIt->second = std::string(name);
  }
}

void TStreamClassRegistry::Unregister(std::string_view name, const std::type_info& type,
                                      uint32_t module) {
  std::unique_lock guard(RegistryLock());
  auto& table = Table();
  if (!table)
    return;
  auto it = LowerBound(table->entries, name, module);
  if (it != table->entries.end() && Compare(name, module, *it) == 0)
    table->entries.erase(it);
  std::type_index key(type);
  std::erase_if(table->types, [&](const auto& pair) { return pair.first == key; });
  if (table->entries.empty())
    table.reset();
}

std::optional<TStreamClassEntry> TStreamClassRegistry::Find(std::string_view name,
                                                            uint32_t module) {
  std::shared_lock guard(RegistryLock());
  auto& table = Table();
  if (!table)
    return std::nullopt;
  auto it = LowerBound(table->entries, name, module);
  if (it == table->entries.end() || Compare(name, module, *it) != 0)
    return std::nullopt;
  return *it;
}

std::optional<std::string> TStreamClassRegistry::NameOf(const std::type_info& type) {
  std::shared_lock guard(RegistryLock());
  auto& table = Table();
  if (!table)
    return std::nullopt;
  std::type_index key(type);
  for (const auto& [index, name] : table->types) {
    if (index == key)
      return name;
  }
  return std::nullopt;
}

std::string TStreamClassRegistry::DescribeType(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
}

size_t TStreamClassRegistry::Count() {
  std::shared_lock guard(RegistryLock());
  auto& table = Table();
  return table ? table->entries.size() : 0;
}

TStreamableClass::TStreamableClass(std::string_view name, TStreamBuilder builder,
                                   const std::type_info& type)
    : name_(name), type_(type) {
  TStreamClassRegistry::Register(name_, builder, type_);
}

TStreamableClass::~TStreamableClass() {
  TStreamClassRegistry::Unregister(name_, type_);
}
