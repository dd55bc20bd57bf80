#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TEnvelopeList;
class TEnvelopeNode;

/// The chosen node of an envelope report followed by every node below it, in tree order. A
/// node counts its indentation level from the tree's top (the root is level 0).
struct TSubtreeNode {
  const TEnvelopeNode* node = nullptr;
  int level = 0;
};

/// The subtree of the node with `nodeId` (identifier 0 is the root also when the root has an
/// identifier of its own); empty when no node has the identifier.
std::vector<TSubtreeNode> EnvelopeSubtree(const TEnvelopeList& envelopes, uint32_t nodeId);

/// The name preceded by two blanks for each level.
std::string IndentedName(const std::string& name, int level);

/// A name cut to what the exports hold (127 characters).
std::string ExportName(const std::string& name);
