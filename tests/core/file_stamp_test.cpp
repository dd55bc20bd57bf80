// A budget changed by someone else must be told from one that is still as we read or wrote it,
// and the hash that decides must not depend on how the bytes arrived.
#include "core/file_stamp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/clock.h"
#include "core/document_file.h"
#include "core/file_pstream.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/result_check.h"
#include "tests/support/second_writer.h"

namespace {

namespace fs = std::filesystem;

uint64_t HashInPieces(const std::string& bytes, size_t piece) {
  TContentHash hash;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    const size_t size = std::min(piece, bytes.size() - at);
    hash.Add(reinterpret_cast<const uint8_t*>(bytes.data() + at), size);
  }
  return hash.Value();
}

TEST(ContentHashTest, SameBytesSameValueHoweverSplitAndAnyChangeShows) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i)
    bytes += static_cast<char>(i * 7 + i / 13);
  const uint64_t whole = HashInPieces(bytes, bytes.size());
  for (size_t piece : {1u, 3u, 8u, 31u, 32u, 33u, 100u})
    EXPECT_EQ(HashInPieces(bytes, piece), whole) << "pieces of " << piece;
  struct {
    const char* name;
    std::string changed;
  } const others[] = {
      {"one bit in the first block",
       [&] {
         auto b = bytes;
         b[5] ^= 1;
         return b;
       }()},
      {"one bit in the tail",
       [&] {
         auto b = bytes;
         b.back() ^= 0x40;
         return b;
       }()},
      {"a zero byte more", bytes + std::string(1, '\0')},
      {"a byte less", bytes.substr(0, bytes.size() - 1)},
      {"two words swapped", bytes.substr(8, 8) + bytes.substr(0, 8) + bytes.substr(16)},
  };
  for (const auto& other : others)
    EXPECT_NE(HashInPieces(other.changed, 64), whole) << other.name;
}

// Large reads are hashed on a second thread while the next piece is read; the stamp must still
// hash exactly the file's bytes, in order, whatever sizes the reader asks for.
TEST(ContentHashTest, TheReadersStampHashesTheWholeFileWhateverTheReadSizes) {
  TTempFolder temp;
  const std::string path = (temp.Path() / "blocks.bin").string();
  std::vector<uint8_t> block((size_t{3} << 20) + 77);
  for (size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<uint8_t>(i * 131 + i / 4099);
  {
    ofpstream out(path);
    out.WriteBytes(block.data(), block.size());
    out.WriteBytes(block.data(), 1000);
    ASSERT_TRUE(out.Close());
  }
  uint64_t onDisk = 0;
  ASSERT_TRUE(HashFile(path, onDisk));
  for (size_t first : {size_t{10}, size_t{65536}, size_t{65537}, size_t{1} << 20, block.size()}) {
    ifpstream in(path);
    std::vector<uint8_t> got(first);
    in.ReadBytes(got.data(), got.size());
    ASSERT_TRUE(in.Good());
    EXPECT_EQ(in.Stamp().hash, onDisk) << "first read of " << first;
  }
}

class FileStampTest : public ::testing::TestWithParam<TSecondWriterCase> {
 protected:
  TTempFolder temp_;
  TRecordingUserPort user_;
  TFixedClock clock_{TDateValue(7, 12, 2026)};
  TModelEnvironment environment_{user_, clock_};
};

TEST_P(FileStampTest, TheCheckSeesWhatTheSecondWriterDid) {
  const fs::path path = temp_.Path() / "Budget.vrl";
  TVorlaData document(environment_);
  for (int i = 0; i < 5; ++i)
    document.Settings().SetText("Key" + std::to_string(i), std::string(1000, 'k'), 0);
  TFileStamp written;
  ASSERT_TRUE(Succeeded(WriteDocumentFile(path.string(), document, &written)));
  TFileStamp read;
  ASSERT_TRUE(Succeeded(ReadDocumentFile(path.string(), environment_, &read)));
  // Reading and writing hash the same bytes; our rename alone leaves the file ours.
  EXPECT_EQ(read.hash, written.hash);
  EXPECT_TRUE(FileStillMatches(path.string(), written));
  EXPECT_TRUE(FileStillMatches(path.string(), read));

  ActAsSecondWriter(GetParam().writer, path);
  EXPECT_EQ(FileStillMatches(path.string(), read), GetParam().stillOurs);
}

INSTANTIATE_TEST_SUITE_P(SecondWriters, FileStampTest, ::testing::ValuesIn(kSecondWriterCases));

}  // namespace
