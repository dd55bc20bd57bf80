#include "core/file_bytes.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

TFileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                          int& error) {
  bytes.clear();
  error = 0;
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(path, code);
  if (status.type() != std::filesystem::file_type::regular) {
    error = status.type() == std::filesystem::file_type::not_found ? ENOENT : code.value();
    return TFileRead::NotRegular;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, code);
  if (code) {
    error = code.value();
    return TFileRead::Unreadable;
  }
  if (size > maxBytes)
    return TFileRead::TooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = errno;
    return TFileRead::Unreadable;
  }
  bytes.resize(static_cast<size_t>(size));
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  // A file that shrank or failed while it was read is not taken half.
  if (in.bad() || static_cast<std::uintmax_t>(in.gcount()) != size) {
    bytes.clear();
    return TFileRead::Unreadable;
  }
  return TFileRead::Read;
}
