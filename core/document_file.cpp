#include "core/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/file_pstream.h"
#include "core/save_file.h"

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

TResult<std::unique_ptr<TVorlaData>> ReadDocumentFile(const std::string& path,
                                                      const TModelEnvironment& environment,
                                                      TFileStamp* stamp) {
  ifpstream is(path);
  if (!is.IsOpen())
    return TFailure{FileErrorText("cannot open", path, is.Error())};
  // What a killed save left beside the budget goes when this process ends.
  std::string target;
  int unresolved = 0;
  if (ResolveSaveTarget(path, target, unresolved))
    NoteSaveTarget(target);
  is.SetEnvironment(&environment);
  std::unique_ptr<TVorlaData> document;
  try {
    document = is.ReadOwned<TVorlaData>();
  } catch (const TModelError& refused) {
    std::string error = refused.what();
    while (!error.empty() && error.back() == '\n')
      error.pop_back();
    return TFailure{error};
  }
  if (is.Error() != 0)
    return TFailure{FileErrorText("cannot read", path, is.Error())};
  if (!is.Good() || !document)
    return TFailure{path + " is not a readable budget file"};
  if (stamp != nullptr)
    *stamp = is.Stamp();
  document->FinishLoading();
  return document;
}

TResult<void> WriteDocumentFile(const std::string& path, TVorlaData& document,
                                TFileStamp* written) {
  return WriteObjectFile(path, document, {}, written);
}

TResult<void> WriteObjectFile(const std::string& path, const TStreamableBase& object,
                              const TSaveFaults& faults, TFileStamp* written) {
  // A budget reached through a symbolic link is saved into the file the link names, so that the
  // link stays a link; the temporary file lies beside that file, on the same file system.
  std::string target;
  int reason = 0;
  if (!ResolveSaveTarget(path, target, reason))
    return TFailure{FileErrorText("cannot write", path, reason)};
  RemoveStaleTemporaries(target);
  TSaveTemporary temporary;
  if (!temporary.Create(target, reason))
    return TFailure{FileErrorText("cannot write", path, reason)};
  // A budget is private: a new one stays readable by the user alone.
  temporary.TakeModeOf(target);
  uint64_t hash = 0;
  {
    // The stream writes through its own descriptor; the temporary file keeps the other one open,
    // and with it the lock, until the file has been renamed.
    ofpstream os(::dup(temporary.Descriptor()));
    if (!os.IsOpen())
      return TFailure{FileErrorText("cannot write", path, os.Error())};
    if (faults.failAfterBytes >= 0)
      os.LimitBytes(static_cast<uint64_t>(faults.failAfterBytes));
    try {
      os.WriteObject(&object);
    } catch (const TModelError& refused) {
      return TFailure{refused.what()};
    }
    os.Sync();
    if (faults.failSync)
      os.Fail(EIO);
    if (!os.Close())
      return TFailure{FileErrorText("cannot write", path, os.Error() != 0 ? os.Error() : EIO)};
    hash = os.Hash();
  }
  // Our own descriptor outlives the rename, so the stamp (taken after it, which sets the change
  // time) describes our file even when another writer replaced it at once.
  const int kept = written != nullptr ? ::dup(temporary.Descriptor()) : -1;
  const bool renamed = !faults.failRename && temporary.Commit(target, reason);
  if (renamed && written != nullptr)
    *written = StampOfDescriptor(kept, hash);
  if (kept >= 0)
    ::close(kept);
  if (!renamed)
    return TFailure{FileErrorText("cannot replace", path, faults.failRename ? EIO : reason)};
  SyncFolder(std::filesystem::path(target).parent_path());
  return {};
}
