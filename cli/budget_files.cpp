#include "cli/budget_files.h"

#include "cli/standard_output.h"
#include "core/document_file.h"

std::unique_ptr<TVorlaData> ReadBudgetOrSay(const std::string& path,
                                            const TModelEnvironment& environment,
                                            TFileStamp* stamp) {
  TResult<std::unique_ptr<TVorlaData>> document = ReadDocumentFile(path, environment, stamp);
  if (!document) {
    PrintError(document.Error());
    return nullptr;
  }
  return std::move(document).Value();
}

bool WriteBudgetOrSay(const std::string& path, TVorlaData& document) {
  const TResult<void> written = WriteDocumentFile(path, document);
  if (!written)
    PrintError(written.Error());
  return written.Ok();
}

bool UnchangedSinceReadOrSay(const std::string& path, const TFileStamp& read, bool force) {
  if (force || FileStillMatches(path, read))
    return true;
  PrintError(path +
             " was changed by another program or computer since it was read; nothing was written "
             "(--force writes it anyway)");
  return false;
}
