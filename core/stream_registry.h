#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <typeinfo>

#include "core/streamable.h"

/// One registered persistent class: its stored name, its builder and its module number.
struct TStreamClassEntry {
  std::string name;
  TStreamBuilder builder = nullptr;
  uint32_t module = 1;
};

/// The process-wide table from stored class names (and dynamic types) to builders.
/// Entries are ordered by byte-wise name, then module; lookups share a lock, changes take it alone.
class TStreamClassRegistry {
 public:
  /// Adds a class; a name and module that are already present are replaced.
  static void Register(std::string_view name, TStreamBuilder builder, const std::type_info& type,
                       uint32_t module = 1);
  /// Removes a class; the table is freed when its last entry goes.
  static void Unregister(std::string_view name, const std::type_info& type, uint32_t module = 1);
  /// The entry for a stored name; module 0 matches any module.
  static std::optional<TStreamClassEntry> Find(std::string_view name, uint32_t module = 0);
  /// The registered name of a dynamic type, if the type is registered.
  static std::optional<std::string> NameOf(const std::type_info& type);
  /// A readable name for any type, for messages about unregistered ones.
  static std::string DescribeType(const std::type_info& type);
  /// The number of registered entries.
  static size_t Count();
};

/// Registers a class for the lifetime of the registration object (one static object per class).
class TStreamableClass {
 public:
  TStreamableClass(std::string_view name, TStreamBuilder builder, const std::type_info& type);
  ~TStreamableClass();
  TStreamableClass(const TStreamableClass&) = delete;
  TStreamableClass& operator=(const TStreamableClass&) = delete;

 private:
  std::string name_;
  const std::type_info& type_;
};
