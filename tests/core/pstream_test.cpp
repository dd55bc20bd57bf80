#include "core/pstream.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/stream_registry.h"
#include "tests/support/byte_builder.h"

namespace {

// A small persistent class with a value, a name and two child pointers, enough to exercise
// nesting, back-references and typed reads.
// Objects already owned by some probe: a back-reference must not give them a second owner.
std::set<const TStreamableBase*>& Claimed() {
  static std::set<const TStreamableBase*> claimed;
  return claimed;
}

class TProbe : public TStreamableBase {
 public:
  explicit TProbe(TStreamableInit) {}
  ~TProbe() override {
    for (const auto& held : owned)
      Claimed().erase(held.get());
  }
  TProbe(uint32_t value, std::string name) : value(value), name(std::move(name)) {}

  uint32_t value = 0;
  std::string name;
  TProbe* first = nullptr;   // not owned when written; owned after reading
  TProbe* second = nullptr;  // may repeat `first`
  std::vector<std::unique_ptr<TStreamableBase>> owned;

  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Read(ipstream& is, uint32_t) override {
      auto& probe = static_cast<TProbe&>(*GetObject());
      probe.value = is.ReadWord32();
      is.ReadString(probe.name, 32);
      probe.first = Adopt(probe, is.ReadObject());
      probe.second = Adopt(probe, is.ReadObject());
    }
    void Write(opstream& os) const override {
      auto& probe = static_cast<TProbe&>(*GetObject());
      os.WriteWord32(probe.value);
      os.WriteString(probe.name);
      os.WriteObject(probe.first);
      os.WriteObject(probe.second);
    }
    uint32_t FormatVersion() const override { return 7; }

   private:
    static TProbe* Adopt(TProbe& probe, TStreamableBase* object) {
      if (object != nullptr && Claimed().insert(object).second)
        probe.owned.emplace_back(object);
      return dynamic_cast<TProbe*>(object);
    }
  };
};

// Registered under a second name too, to tell typed reads apart.
class TOtherProbe : public TProbe {
 public:
  using TProbe::TProbe;
};

const TStreamableClass probeRegistration{"TProbe", &BuildStreamer<TProbe>, typeid(TProbe)};
const TStreamableClass otherRegistration{"TOtherProbe", &BuildStreamer<TOtherProbe>,
                                         typeid(TOtherProbe)};

class TUnregistered : public TStreamableBase {};

std::vector<uint8_t> Written(const std::function<void(opstream&)>& write) {
  opstream os;
  write(os);
  EXPECT_TRUE(os.Good());
  return os.Bytes();
}

TEST(ObjectStreamPrimitives, WriteLittleEndianItemsAfterTheHeaderAndReadThemBack) {
  auto bytes = Written([](opstream& os) {
    os.WriteByte(0xAB);
    os.WriteWord16(0xFEDC);
    os.WriteWord32(0xDEADBEEF);
    os.WriteBytes("xyz", 3);
    os.WriteBytes("ignored", 0);
    os.WriteString("hi");
    os.WriteString("");
    os.WriteNullString();
  });
  TByteBuilder expected;
  expected.Header().Byte(0xAB).Word16(0xFEDC).Word32(0xDEADBEEF).Chars("xyz");
  expected.String("hi").Word32(0).Word32(0xFFFFFFFF);
  EXPECT_EQ(bytes, expected.Get());

  ipstream is(bytes);
  EXPECT_EQ(is.GetVersion(), 0x101u);
  EXPECT_EQ(is.ReadByte(), 0xAB);
  EXPECT_EQ(is.ReadWord16(), 0xFEDC);
  EXPECT_EQ(is.ReadWord(), 0xDEADBEEFu);
  char chars[3] = {};
  is.ReadBytes(chars, 3);
  EXPECT_EQ(std::string(chars, 3), "xyz");
  std::string text = "unchanged";
  EXPECT_TRUE(is.ReadString(text, 32));
  EXPECT_EQ(text, "hi");
  EXPECT_TRUE(is.ReadString(text, 32));
  EXPECT_EQ(text, "");
  text = "kept";
  EXPECT_FALSE(is.ReadString(text, 32)) << "a null string yields no string";
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(is.Good());
  EXPECT_EQ(is.ReadByte(), 0xFF) << "reading past the end gives 0xFF";
  EXPECT_EQ(is.GetState(), uint32_t{pstream::kFailed});
}

TEST(ObjectStreamPrimitives, ShortDataFailsAndAFailedStreamIgnoresEverythingAfter) {
  std::vector<uint8_t> bytes = TByteBuilder().Header().Byte(1);
  ipstream is(bytes);
  EXPECT_EQ(is.ReadWord32(), 0u);
  EXPECT_FALSE(is.Good());
  std::string text = "kept";
  EXPECT_FALSE(is.ReadString(text, 10));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(is.ReadObject(), nullptr);

  // A string length beyond the data fails too.
  std::vector<uint8_t> beyond = TByteBuilder().Header().Word32(0x7FFFFFF0).Chars("ab");
  ipstream cut(beyond);
  EXPECT_FALSE(cut.ReadString(text, SIZE_MAX));
  EXPECT_FALSE(cut.Good());
}

TEST(ObjectStreamPrimitives, StringLongerThanItsFieldFailsWithoutMisreading) {
  std::vector<uint8_t> bytes = TByteBuilder().Header().String("abcdef").Word32(42);
  ipstream exact(bytes);
  std::string text;
  EXPECT_TRUE(exact.ReadString(text, 7)) << "capacity 7 holds six characters";
  EXPECT_EQ(exact.ReadWord32(), 42u);

  ipstream tooLong(bytes);
  text = "kept";
  EXPECT_FALSE(tooLong.ReadString(text, 6));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(tooLong.GetState(), uint32_t{pstream::kFailed});
  EXPECT_EQ(tooLong.ReadWord32(), 0u) << "nothing after the refused string is read";
}

TEST(ObjectStreamHeader, EmptyDataIsTheEndStateAndANullPointerANullRoot) {
  std::vector<uint8_t> empty;
  ipstream none(empty);
  EXPECT_EQ(none.GetState(), uint32_t{pstream::kEnd});
  EXPECT_EQ(none.ReadObject(), nullptr);
  std::vector<uint8_t> bytes = TByteBuilder().Header().Byte(0x00);
  ipstream is(bytes);
  EXPECT_EQ(is.ReadObject(), nullptr);
  EXPECT_TRUE(is.Good());
}

TEST(ObjectStreamHeader, VersionZeroUsesShortWordsAndOneByteStrings) {
  // No ":" header: 16-bit words, one-byte string lengths (0xFF = null), no class versions.
  TByteBuilder b;
  b.Word16(0x0102).Byte(3).Chars("abc").Byte(0xFF);
  b.Byte(0x02).Byte('[').Byte(6).Chars("TProbe");
  b.Word32(9).Byte(2).Chars("nm").Byte(0).Byte(0).Byte(']');  // the value is read as word32
  ipstream is(b.Get());
  EXPECT_EQ(is.GetVersion(), 0u);
  EXPECT_EQ(is.ReadWord(), 0x0102u);
  std::string text;
  EXPECT_TRUE(is.ReadString(text, 10));
  EXPECT_EQ(text, "abc");
  EXPECT_FALSE(is.ReadString(text, 10));
  std::unique_ptr<TProbe> probe = is.ReadOwned<TProbe>();
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->value, 9u);
  EXPECT_EQ(probe->name, "nm");
  EXPECT_EQ(is.ReadBaseVersion(), 0u) << "version 0 has no base versions";
  EXPECT_TRUE(is.Good());
}

TEST(ObjectStreamObjects, ObjectRecordFrameAndNestedIndices) {
  // root(1) holds a(2) which holds b(3); root's second pointer is a back-reference to b.
  TProbe b(3, "b");
  TProbe a(2, "a");
  a.first = &b;
  TProbe root(1, "root");
  root.first = &a;
  root.second = &b;
  auto bytes = Written([&](opstream& os) { os.WriteObject(&root); });
  TByteBuilder expected;
  expected.Header().BeginObject("TProbe", 7).Word32(1).String("root");
  expected.BeginObject("TProbe", 7).Word32(2).String("a");
  expected.BeginObject("TProbe", 7).Word32(3).String("b").Byte(0).Byte(0).EndObject();
  expected.Byte(0).EndObject();
  expected.Byte(0x01).Word32(3).EndObject();
  EXPECT_EQ(bytes, expected.Get());

  ipstream is(bytes);
  std::unique_ptr<TStreamableBase> read(is.ReadObject());
  ASSERT_TRUE(is.Good());
  auto* copy = dynamic_cast<TProbe*>(read.get());
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->first, nullptr);
  ASSERT_NE(copy->first->first, nullptr);
  EXPECT_EQ(copy->first->first->name, "b");
  EXPECT_EQ(copy->second, copy->first->first) << "two pointers to one object";
}

TEST(ObjectStreamObjects, LaterSiblingGetsTheIndexAfterNestedObjects) {
  TProbe nested(3, "n");
  TProbe first(2, "f");
  first.first = &nested;
  TProbe sibling(4, "s");
  auto bytes = Written([&](opstream& os) {
    os.WriteObject(&first);
    os.WriteObject(&sibling);
    os.WriteObject(&sibling);
    os.WriteObject(&nested);
  });
  std::vector<uint8_t> tail = TByteBuilder().Byte(0x01).Word32(3).Byte(0x01).Word32(2);
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - tail.size()))
      << "sibling has index 3 after first (1) and nested (2); nested is index 2";
}

TEST(ObjectStreamObjects, BackReferenceBeyondTheTableIsNullNotFailure) {
  std::vector<uint8_t> bytes = TByteBuilder().Header().Byte(0x01).Word32(5);
  ipstream is(bytes);
  EXPECT_EQ(is.ReadObject(), nullptr);
  EXPECT_TRUE(is.Good());
}

TEST(ObjectStreamObjects, OwnedReadsRefuseBackReferences) {
  TProbe child(2, "c");
  TProbe root(1, "r");
  root.first = &child;
  auto bytes = Written([&](opstream& os) {
    os.WriteObject(&root);
    os.WriteObject(&child);
  });
  ipstream is(bytes);
  auto owned = is.ReadOwned<TProbe>();
  ASSERT_TRUE(owned);
  EXPECT_EQ(is.ReadOwned<TProbe>(), nullptr);
  EXPECT_FALSE(is.Good()) << "a second owner for one object is malformed";
}

TEST(ObjectStreamObjects, TypedReadOfAnotherClassGivesNull) {
  TOtherProbe other(5, "o");
  TProbe probe(6, "p");
  auto bytes = Written([&](opstream& os) {
    os.WriteObject(&probe);
    os.WriteObject(&other);
  });
  ipstream is(bytes);
  EXPECT_EQ(is.ReadOwned<TOtherProbe>(), nullptr);
  auto second = is.ReadOwned<TOtherProbe>();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->value, 5u);
  EXPECT_TRUE(is.Good());
}

TEST(ObjectStreamObjects, BaseClassPartIsVersionThenFields) {
  TProbe probe(11, "x");
  auto bytes = Written([&](opstream& os) { os.WriteBase<TProbe>(probe); });
  std::vector<uint8_t> expected =
      TByteBuilder().Header().Word32(7).Word32(11).String("x").Byte(0).Byte(0);
  EXPECT_EQ(bytes, expected);
  ipstream is(bytes);
  TProbe copy(streamableInit);
  is.ReadBase<TProbe>(copy);
  EXPECT_TRUE(is.Good());
  EXPECT_EQ(copy.value, 11u);
}

TEST(ObjectStreamObjects, UnregisteredClassThrowsWithItsName) {
  TUnregistered object;
  opstream os;
  try {
    os.WriteObject(&object);
    FAIL() << "writing an unregistered class must throw";
  } catch (const TModelError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Attempt to stream unregistered type '", 0), 0u);
  }

  std::vector<uint8_t> bytes = TByteBuilder().Header().BeginObject("TNoSuchClass", 1).EndObject();
  ipstream is(bytes);
  try {
    is.ReadObject();
    FAIL() << "reading an unregistered class must throw";
  } catch (const TModelError& error) {
    EXPECT_STREQ(error.what(), "Attempt to stream unregistered type 'TNoSuchClass'");
  }
}

struct MalformedCase {
  const char* why;
  std::vector<uint8_t> bytes;
};

// Test names show why a case is malformed rather than its bytes.
void PrintTo(const MalformedCase& c, std::ostream* os) {
  *os << c.why;
}

class ObjectStreamMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ObjectStreamMalformed, EndsInTheFailedState) {
  ipstream is(GetParam().bytes);
  std::unique_ptr<TStreamableBase> object(is.ReadObject());
  EXPECT_EQ(is.GetState() & pstream::kFailed, uint32_t{pstream::kFailed}) << GetParam().why;
}

std::vector<uint8_t> ProbeRecord(bool closed) {
  TByteBuilder builder;
  builder.Header().BeginObject("TProbe", 7).Word32(1).String("p").Byte(0).Byte(0);
  if (closed)
    builder.EndObject();
  return builder;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ObjectStreamMalformed,
    ::testing::Values(
        MalformedCase{"pointer byte 3", TByteBuilder().Header().Byte(3)},
        MalformedCase{"missing opening bracket",
                      TByteBuilder().Header().Byte(2).Byte('(').String("TProbe")},
        MalformedCase{"missing closing bracket", ProbeRecord(false)},
        MalformedCase{"wrong closing byte", TByteBuilder().Append(ProbeRecord(false)).Byte(')')},
        MalformedCase{"empty class name", TByteBuilder().Header().Byte(2).Byte('[').String("")},
        MalformedCase{"null class name",
                      TByteBuilder().Header().Byte(2).Byte('[').Word32(0xFFFFFFFF)},
        MalformedCase{"class name of 128 characters",
                      TByteBuilder().Header().Byte(2).Byte('[').String(std::string(128, 'T'))},
        MalformedCase{"short data inside the record",
                      TByteBuilder().Header().BeginObject("TProbe", 7).Word16(1)},
        MalformedCase{"short data in the header", TByteBuilder().Byte(':').Word16(1)}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ObjectStreamObjects, DeepNestingIsRefusedNotRecursedInto) {
  TByteBuilder builder;
  builder.Header();
  const int depth = pstream::kMaxNesting + 5;
  for (int i = 0; i < depth; ++i)
    builder.BeginObject("TProbe", 7).Word32(i).String("");
  ipstream is(builder.Get());
  std::unique_ptr<TStreamableBase> object(is.ReadObject());
  EXPECT_FALSE(is.Good());
}

}  // namespace
