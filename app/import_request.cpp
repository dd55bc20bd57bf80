#include "app/import_request.h"

namespace {

constexpr size_t kLookedAt = 291;

}  // namespace

TImportRequest ClassifyImportRequest(std::string_view text) {
  text = text.substr(0, kLookedAt);
  TImportRequest request;
  // The whole command word: "CSV" alone could be part of the path of a QIF or OFX statement.
  if (text.find("OPENCSV") != std::string_view::npos) {
    request.kind = TImportRequest::Kind::Csv;
  } else if (text.find("OFX") != std::string_view::npos) {
    request.kind = TImportRequest::Kind::Ofx;
  } else if (text.find("QIF") != std::string_view::npos) {
    request.kind = TImportRequest::Kind::Qif;
  }
  size_t open = text.find('"');
  if (open != std::string_view::npos) {
    size_t close = text.find('"', open + 1);
    if (close != std::string_view::npos)
      request.file = text.substr(open + 1, close - open - 1);
  }
  return request;
}
