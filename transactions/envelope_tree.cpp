#include "transactions/envelope_tree.h"

#include <algorithm>

#include "core/envelope_list.h"
#include "core/envelope_node.h"

namespace {

// Calls `visit` with the identifier of every node above the envelope and above each of its
// aliases, stopping early when `visit` returns true; returns whether it stopped.
template <class Visit>
bool VisitAncestors(const TEnvelopeList& envelopes, uint32_t envelopeId, Visit visit) {
  const TEnv* env = envelopes.Envelope(envelopeId);
  if (env == nullptr)
    return false;
  auto climb = [&](const TTreeItem& start) {
    for (const TTreeItem* node = start.Parent(); node != nullptr; node = node->Parent()) {
      const auto* envelopeNode = dynamic_cast<const TEnvelopeNode*>(node);
      if (envelopeNode != nullptr && visit(envelopeNode->Id()))
        return true;
    }
    return false;
  };
  if (climb(*env))
    return true;
  for (const TEnvelopeAlias* alias = env->FirstAlias(); alias != nullptr;
       alias = alias->NextAlias()) {
    if (climb(*alias))
      return true;
  }
  return false;
}

}  // namespace

bool IsEnvelopeAtOrBelow(const TEnvelopeList& envelopes, uint32_t envelopeId, uint32_t nodeId) {
  if (envelopeId == 0)
    return false;
  if (envelopeId == nodeId)
    return true;
  return VisitAncestors(envelopes, envelopeId, [nodeId](uint32_t id) { return id == nodeId; });
}

std::vector<uint32_t> EnvelopeAndAncestorIds(const TEnvelopeList& envelopes, uint32_t envelopeId) {
  std::vector<uint32_t> ids;
  if (envelopeId == 0)
    return ids;
  ids.push_back(envelopeId);
  VisitAncestors(envelopes, envelopeId, [&ids](uint32_t id) {
    if (std::find(ids.begin(), ids.end(), id) == ids.end())
      ids.push_back(id);
    return false;
  });
  return ids;
}
