#include "import/statement_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/cp1252.h"
#include "core/file_bytes.h"
#include "core/setting_list.h"
#include "core/user_port.h"
#include "import/csv_table.h"
#include "import/ofx_reader.h"
#include "import/qif_reader.h"

namespace {

constexpr TStatementFormat kQifFormat{"Open QIF File", "QIF File|*.qif|All Files|*.*|",
                                      "importer.QIFFolder", "QIF Import"};
constexpr TStatementFormat kOfxFormat{"Open OFX File",
                                      "OFX File|*.ofx|QFX File|*.qfx|All Files|*.*|",
                                      "importer.OFXFolder", "OFX Import"};
constexpr TStatementFormat kCsvFormat{"Open CSV File",
                                      "CSV File|*.csv|Text File|*.txt|All Files|*.*|",
                                      "importer.CSVFolder", "CSV Import"};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

const TStatementFormat& StatementFormat(TStatementKind kind) {
  switch (kind) {
    case TStatementKind::Qif:
      return kQifFormat;
    case TStatementKind::Csv:
      return kCsvFormat;
    default:
      return kOfxFormat;
  }
}

bool ChooseImportFile(TImportBatch& batch, TStatementKind kind, const std::string& givenPath,
                      TUserPort& user, TSettingList& configuration) {
  const TStatementFormat& format = StatementFormat(kind);
  batch.Path = givenPath;
  if (batch.Path.empty()) {
    const std::string folder = configuration.GetText(format.folderKey, kDefaultImportFolder, 0);
    std::optional<std::string> chosen =
        user.ChooseOpenFile(std::string(format.title), std::string(format.filter), folder);
    if (!chosen || chosen->empty())
      return false;
    std::string parent = std::filesystem::path(*chosen).parent_path().string();
    configuration.SetText(format.folderKey, parent.empty() ? std::string(".") : parent, 0);
    batch.Path = *chosen;
  }
  std::error_code error;
  if (!std::filesystem::exists(batch.Path, error)) {
    // The path is the system's own spelling; only its control characters need escaping.
    user.Tell(std::string(format.caption),
              "Could not open \"" + MessageToUtf8(batch.Path, true) +
                  "\" for importing transactions. Check to see if the file exists.",
              TMessageIcon::None);
    batch.Path.clear();
    return false;
  }
  return true;
}

TResult<std::string> ReadStatementBytes(const std::string& path) {
  return ReadRegularFile(path, kMaxStatementBytes);
}

TStatementKind DetectStatementKind(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    bytes.remove_prefix(3);
  size_t start = 0;
  while (start < bytes.size() && IsBlank(bytes[start]))
    ++start;
  if (start == bytes.size())
    return TStatementKind::Unknown;
  const std::string_view rest = bytes.substr(start);
  if (rest.starts_with("OFXHEADER") || rest.front() == '<')
    return TStatementKind::Ofx;
  // A CSV header ("Date,Amount") may begin with a QIF field letter; a QIF file's lines hold
  // one field each, so its lines share no column count.
  if (rest.front() == '!')
    return TStatementKind::Qif;
  if (LooksLikeCsv(rest))
    return TStatementKind::Csv;
  constexpr std::string_view kQifStarts = "^DTNPMLCSEAU$";
  if (kQifStarts.find(rest.front()) != std::string_view::npos)
    return TStatementKind::Qif;
  return TStatementKind::Unknown;
}

size_t ReadStatementFile(TImportBatch& batch, TStatementKind kind, const TClock& clock) {
  if (kind == TStatementKind::Csv)
    return 0;
  return kind == TStatementKind::Qif ? ReadQifFile(batch, clock) : ReadOfxFile(batch, clock);
}
