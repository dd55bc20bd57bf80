#include "reports/envelope_subtree.h"

#include "core/envelope_list.h"
#include "core/envelope_node.h"

namespace {

constexpr size_t kExportNameLimit = 127;

}  // namespace

std::vector<TSubtreeNode> EnvelopeSubtree(const TEnvelopeList& envelopes, uint32_t nodeId) {
  std::vector<TSubtreeNode> nodes;
  const TTreeItem* top = envelopes.FindNode(nodeId);
  // A read budget gives its root an identifier of its own, so 0 still names the root there.
  if (top == nullptr && nodeId == 0)
    top = envelopes.RootItem();
  if (top == nullptr)
    return nodes;
  // A pre-order walk that stops when it climbs out of the chosen node, without recursion, so
  // a deep tree cannot exhaust the stack.
  const TTreeItem* item = top;
  int level = top->Depth() - 1;
  while (item != nullptr) {
    nodes.push_back({static_cast<const TEnvelopeNode*>(item), level});
    if (item->FirstChild() != nullptr) {
      item = item->FirstChild();
      ++level;
      continue;
    }
    while (item != top && item->NextSibling() == nullptr) {
      item = item->Parent();
      --level;
    }
    item = item == top ? nullptr : item->NextSibling();
  }
  return nodes;
}

std::string IndentedName(const std::string& name, int level) {
  return std::string(static_cast<size_t>(level > 0 ? level * 2 : 0), ' ') + name;
}

std::string ExportName(const std::string& name) {
  return name.substr(0, kExportNameLimit);
}
