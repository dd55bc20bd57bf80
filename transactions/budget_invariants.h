#pragma once

#include <string>
#include <vector>

class TAccountList;
class TEnvelopeList;
class TVorlaData;
class TXManager;

/// The checks that tell a sound budget: every stored balance and cleared balance of every
/// account and envelope equals the sum over the records that post to it, and the account total
/// equals the envelope total. Each difference comes back as one line of text; none means the
/// budget is sound. A record that posts money to an account or envelope that does not exist is
/// reported too, since its money is missing from one side of the totals.
std::vector<std::string> CheckBudgetBalances(const TAccountList& accounts,
                                             const TEnvelopeList& envelopes,
                                             const TXManager& transactions);
/// The same for a document; a document without a transaction manager has no records.
std::vector<std::string> CheckBudgetBalances(const TVorlaData& document);

/// The links between records: the halves of a transfer point at each other with opposite
/// amounts, a multiple's amount is the sum of its parts, and a live part has its multiple's
/// account and date. One line per broken link.
std::vector<std::string> CheckTransactionLinks(const TXManager& transactions);

/// The store's order as far as it always holds: the records in use that have been placed (those
/// waiting to be placed left out) stand in order of rank ("Start" first, "hold" last) and date.
/// (Within a day the order is not transitive, so neighbours there may look out of order after
/// records between them went.) One line per record out of order.
std::vector<std::string> CheckLedgerOrder(const TXManager& transactions);
