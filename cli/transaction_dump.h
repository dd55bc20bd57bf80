#pragma once

class TJsonWriter;
class TVorlaData;

/// Adds the transaction store to a document dump: "store" (format, capacity, count, last_id) and
/// "transactions", every slot from 1 to the count in store order, dead slots included. A
/// document without a transaction manager gets an empty store.
void DumpTransactions(TJsonWriter& json, const TVorlaData& document);
