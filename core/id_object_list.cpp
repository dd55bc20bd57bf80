#include "core/id_object_list.h"

#include <algorithm>

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

TBxStringList TSimpleIdObjectList::Names() const {
  TBxStringList list;
  for (const auto& name : names_)
    list.Append(name);
  return list;
}

uint32_t TSimpleIdObjectList::IdOfName(std::string_view name) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (EqualNoCase(names_[i], name))
      return static_cast<uint32_t>(i + 1);
  }
  return 0;
}

std::string TSimpleIdObjectList::NameOfId(uint32_t id) const {
  if (id == 0 || id > names_.size())
    return "error";
  return names_[id - 1];
}
