#include "core/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

// Every way a whole-file read ends, with the exact message a user is shown.
TEST(FileBytesTest, ReadsWholeRegularFilesAndSaysWhyNot) {
  TTempFolder folder;
  const std::string base = folder.Path().string();
  std::ofstream(folder.Path() / "four", std::ios::binary) << "abcd";
  std::ofstream(folder.Path() / "five", std::ios::binary) << "abcde";
  std::filesystem::create_directory(folder.Path() / "sub");
  struct TCase {
    std::string name;
    std::string bytes;
    std::string error;
  } const cases[] = {
      {"four", "abcd", ""},
      {"five", "", "cannot read " + base + "/five: the file is larger than 4 bytes"},
      {"sub", "", "cannot read " + base + "/sub: it is not a plain file"},
      {"missing", "", "cannot read " + base + "/missing: No such file or directory"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TResult<std::string> read = ReadRegularFile(base + "/" + c.name, 4);
    EXPECT_EQ(read.Ok(), c.error.empty());
    EXPECT_EQ(read ? *read : read.Error(), read ? c.bytes : c.error);
  }
  EXPECT_EQ(ReadRegularFile("/dev/zero", 4).Error(),
            "cannot read /dev/zero: it is not a plain file");
}

}  // namespace
