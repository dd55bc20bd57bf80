#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/result.h"
#include "import/import_record.h"

class TClock;
class TSettingList;
class TUserPort;

/// The kinds of bank statement.
enum class TStatementKind { Unknown, Qif, Ofx, Csv };

/// What the file choice of one kind of statement shows and where it remembers its folder.
struct TStatementFormat {
  std::string_view title;      ///< of the open-file dialog
  std::string_view filter;     ///< "Description|pattern|..." for the open-file dialog
  std::string_view folderKey;  ///< the configuration's named setting (scope 0)
  std::string_view caption;    ///< of the message about a missing file
};

/// The format of a QIF, OFX or CSV statement (OFX for Unknown too).
const TStatementFormat& StatementFormat(TStatementKind kind);

/// The folder an import starts in before one was remembered: the current folder.
inline constexpr std::string_view kDefaultImportFolder = ".\\.";

/// Sets the batch's path to `givenPath`; when that is empty, asks for a file with the open-file
/// dialog in the folder remembered under the format's key in `configuration` (the
/// configuration's named settings) and remembers the chosen file's folder there. True when a
/// path is set and the file exists; a missing file is told to the user and clears the path.
bool ChooseImportFile(TImportBatch& batch, TStatementKind kind, const std::string& givenPath,
                      TUserPort& user, TSettingList& configuration);

/// The statements read are whole files in memory; a larger file is refused as unreadable.
inline constexpr size_t kMaxStatementBytes = 256u * 1024 * 1024;

/// The bytes of the regular file at `path`; refused when it is no regular file (a pipe or a
/// device would never end), is larger than kMaxStatementBytes, or cannot be read whole.
TResult<std::string> ReadStatementBytes(const std::string& path);

/// Which kind a statement is by its content: OFX when it begins (after a byte-order mark and
/// white space) with an SGML header "OFXHEADER" or with "<"; QIF when its first non-empty line
/// begins with "!"; CSV when its first lines are a table (LooksLikeCsv); QIF when the first
/// non-empty line begins with "^" or a QIF field letter; otherwise Unknown.
TStatementKind DetectStatementKind(std::string_view bytes);

/// Reads the statement at the batch's path as `kind` (QIF or OFX): ReadQifFile or ReadOfxFile.
/// A CSV statement needs its column mapping first and is read by ReadCsvRecords.
size_t ReadStatementFile(TImportBatch& batch, TStatementKind kind, const TClock& clock);
