#include "core/document_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/file_pstream.h"

namespace {

// Makes the rename itself durable.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::unique_ptr<TVorlaData> ReadDocumentFile(const std::string& path,
                                             const TModelEnvironment& environment,
                                             std::string& error) {
  ifpstream is(path);
  if (!is.IsOpen()) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  is.SetEnvironment(&environment);
  std::unique_ptr<TVorlaData> document;
  try {
    document = is.ReadOwned<TVorlaData>();
  } catch (const TModelError& refused) {
    error = refused.what();
    while (!error.empty() && error.back() == '\n')
      error.pop_back();
    return nullptr;
  }
  if (!is.Good() || !document) {
    error = path + " is not a readable budget file";
    return nullptr;
  }
  document->FinishLoading();
  return document;
}

bool WriteDocumentFile(const std::string& path, TVorlaData& document, std::string& error) {
  return WriteObjectFile(path, document, error);
}

bool WriteObjectFile(const std::string& path, const TStreamableBase& object, std::string& error,
                     const TSaveFaults& faults) {
  namespace fs = std::filesystem;
  fs::path target(path);
  fs::path temporary = target;
  temporary += ".saving";
  {
    ofpstream os(temporary.string());
    if (faults.failAfterBytes >= 0)
      os.LimitBytes(static_cast<uint64_t>(faults.failAfterBytes));
    if (!os.IsOpen()) {
      error = "cannot create " + temporary.string() + ": " + std::strerror(errno);
      return false;
    }
    try {
      os.WriteObject(&object);
    } catch (const TModelError& refused) {
      os.Close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      error = refused.what();
      return false;
    }
    os.Sync();
    if (faults.failSync)
      os.SetState(pstream::kFailed);
    if (!os.Close()) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      error = "cannot write " + temporary.string();
      return false;
    }
  }
  std::error_code renameError;
  if (faults.failRename) {
    renameError = std::make_error_code(std::errc::io_error);
  } else {
    fs::rename(temporary, target, renameError);
  }
  if (renameError) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    error = "cannot replace " + path + ": " + renameError.message();
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}
