#pragma once

#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "tests/support/tree_nodes.h"

/// The envelope tree the filter suites work on; the root keeps identifier 0.
///   Food
///   Home (bundle): Rent, Utilities (bundle): Power
///   Fixed (association): an alias of Rent
struct TSampleEnvelopes {
  TSampleEnvelopes() { fixed->AddChild(rent->MakeAlias()); }

  TEnvelopeList envelopes;
  TBundle* home = &AddNode<TBundle>(envelopes, envelopes.Root(), "Home");
  TEnv* rent = &AddNode<TEnv>(envelopes, *home, "Rent");
  TBundle* utilities = &AddNode<TBundle>(envelopes, *home, "Utilities");
  TEnv* power = &AddNode<TEnv>(envelopes, *utilities, "Power");
  TEnv* food = &AddNode<TEnv>(envelopes, envelopes.Root(), "Food");
  TAssociation* fixed = &AddNode<TAssociation>(envelopes, envelopes.Root(), "Fixed");
};
