#pragma once

#include <string>
#include <string_view>

/// A request from another program to import a bank statement.
struct TImportRequest {
  enum class Kind { None, Qif, Ofx, Csv };
  Kind kind = Kind::None;
  /// The file named between the first pair of double quotes (empty when there is none).
  std::string file;
};

/// Classifies a request text: a CSV request when its first 291 characters contain "OPENCSV", else
/// an OFX request when they contain "OFX", else a QIF request when they contain "QIF" (all
/// searched case-sensitively); otherwise none.
TImportRequest ClassifyImportRequest(std::string_view text);
