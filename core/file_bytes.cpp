#include "core/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

TFailure CannotRead(const std::string& path, const std::string& why) {
  return {"cannot read " + path + ": " + why};
}

}  // namespace

TResult<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(path, code);
  if (status.type() == std::filesystem::file_type::not_found)
    return CannotRead(path, std::strerror(ENOENT));
  if (status.type() != std::filesystem::file_type::regular)
    return CannotRead(path, code ? std::strerror(code.value()) : "it is not a plain file");
  const std::uintmax_t size = std::filesystem::file_size(path, code);
  if (code)
    return CannotRead(path, std::strerror(code.value()));
  if (size > maxBytes)
    return CannotRead(path, "the file is larger than " + std::to_string(maxBytes) + " bytes");
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return CannotRead(path, std::strerror(errno != 0 ? errno : EIO));
  std::string bytes(static_cast<size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  // A file that shrank or failed while it was read is not taken half.
  if (in.bad() || static_cast<std::uintmax_t>(in.gcount()) != size)
    return CannotRead(path, "the file could not be read to its end");
  return bytes;
}
