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
  // The tree's own pre-order, until it leaves the chosen node.
  for (const TTreeItem* item = top; item == top || (item != nullptr && top->IsAncestorOf(*item));
       item = item->NextInDisplayOrder(true))
    nodes.push_back({static_cast<const TEnvelopeNode*>(item), item->Depth() - 1});
  return nodes;
}

std::string IndentedName(const std::string& name, int level) {
  return std::string(static_cast<size_t>(level > 0 ? level * 2 : 0), ' ') + name;
}

std::string ExportName(const std::string& name) {
  return name.substr(0, kExportNameLimit);
}
