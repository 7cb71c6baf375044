// The shortcut codec against links assembled here field by field from the published Shell
// Link layout, as other writers lay them out, and its own links read back.
#include "vireo/filesupport/src/ShellLink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vireo {
namespace filesupport {
namespace impl {
namespace {

using utility::UTF16String;
using utility::UTF8String;

UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }
UTF16String FromUtf8(std::string const& text) {
  return utility::UTF8to16(reinterpret_cast<unsigned char const*>(text.data()), text.size());
}

// Little-endian byte assembly.
struct Buffer {
  std::vector<unsigned char> bytes;
  Buffer& U8(unsigned value) {
    bytes.push_back(static_cast<unsigned char>(value));
    return *this;
  }
  Buffer& U16(unsigned value) { return U8(value & 0xFF).U8(value >> 8 & 0xFF); }
  Buffer& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
  Buffer& U64(std::uint64_t value) { return U32(static_cast<std::uint32_t>(value)).U32(value >> 32); }
  Buffer& Narrow(std::string const& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  Buffer& NarrowZ(std::string const& text) { return Narrow(text).U8(0); }
  Buffer& Wide(UTF16String const& text) {
    for (unsigned short unit : text) U16(unit);
    return *this;
  }
  Buffer& WideZ(UTF16String const& text) { return Wide(text).U16(0); }
  Buffer& Append(Buffer const& other) {
    bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
    return *this;
  }
  std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes.size()); }
};

enum : std::uint32_t {
  kIdList = 0x1,
  kLinkInfo = 0x2,
  kName = 0x4,
  kRelativePath = 0x8,
  kUnicode = 0x80,
  kForceNoLinkInfo = 0x100
};

Buffer Header(std::uint32_t flags, std::uint32_t attributes = 0x20) {
  Buffer b;
  b.U32(0x4C);
  for (unsigned byte : {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x46})
    b.U8(byte);
  b.U32(flags).U32(attributes);
  b.U64(0x01D0000000000001).U64(0x01D0000000000002).U64(0x01D0000000000003);
  b.U32(12345).U32(0).U32(1).U16(0).U16(0).U32(0).U32(0);
  return b;
}

Buffer VolumeId(std::string const& label) {
  Buffer b;
  b.U32(0x10 + static_cast<std::uint32_t>(label.size()) + 1).U32(3).U32(0x1234ABCD).U32(0x10);
  return b.NarrowZ(label);
}

// Link information with an 8-bit local base path and suffix, header of 0x1C bytes.
Buffer NarrowInfo(std::string const& base, std::string const& suffix) {
  Buffer const volume = VolumeId("DATA");
  std::uint32_t const volumeAt = 0x1C;
  std::uint32_t const baseAt = volumeAt + volume.Size();
  std::uint32_t const suffixAt = baseAt + static_cast<std::uint32_t>(base.size()) + 1;
  std::uint32_t const size = suffixAt + static_cast<std::uint32_t>(suffix.size()) + 1;
  Buffer b;
  b.U32(size).U32(0x1C).U32(1).U32(volumeAt).U32(baseAt).U32(0).U32(suffixAt);
  return b.Append(volume).NarrowZ(base).NarrowZ(suffix);
}

// Link information with both forms (header of 0x24 bytes); the 8-bit form is a stand-in.
Buffer WideInfo(UTF16String const& base, UTF16String const& suffix) {
  Buffer const volume = VolumeId("");
  std::uint32_t const volumeAt = 0x24;
  std::uint32_t const baseAt = volumeAt + volume.Size();
  std::uint32_t const suffixAt = baseAt + 2;
  std::uint32_t const baseWideAt = suffixAt + 1;
  std::uint32_t const suffixWideAt = baseWideAt + 2 * (static_cast<std::uint32_t>(base.size()) + 1);
  std::uint32_t const size = suffixWideAt + 2 * (static_cast<std::uint32_t>(suffix.size()) + 1);
  Buffer b;
  b.U32(size).U32(0x24).U32(1).U32(volumeAt).U32(baseAt).U32(0).U32(suffixAt);
  b.U32(baseWideAt).U32(suffixWideAt);
  return b.Append(volume).NarrowZ("?").NarrowZ("").WideZ(base).WideZ(suffix);
}

// Link information for a network share only: no local base path.
Buffer NetworkInfo() {
  std::string const share = "\\\\srv\\m";
  Buffer network;
  network.U32(0x14 + static_cast<std::uint32_t>(share.size()) + 1).U32(0x2).U32(0x14).U32(0);
  network.U32(0x00020000).NarrowZ(share);
  std::uint32_t const suffixAt = 0x1C + network.Size();
  Buffer b;
  b.U32(suffixAt + 6).U32(0x1C).U32(2).U32(0).U32(0).U32(0x1C).U32(suffixAt);
  return b.Append(network).NarrowZ("a.wav");
}

Buffer IdList() {
  Buffer items;
  items.U16(6).U8(0x1F).U8(0x50).U16(0xABCD);  // one opaque item
  items.U16(0);                                 // terminator
  Buffer b;
  return b.U16(items.Size()).Append(items);
}

Buffer WideString(UTF16String const& text) {
  Buffer b;
  return b.U16(static_cast<unsigned>(text.size())).Wide(text);
}

Buffer NarrowString(std::string const& text) {
  Buffer b;
  return b.U16(static_cast<unsigned>(text.size())).Narrow(text);
}

Buffer Terminal() {
  Buffer b;
  return b.U32(0);
}

ShellLinkStatus Read(Buffer const& link, ShellLinkData& data) {
  // A heap block of exactly the link's size, so a sanitizer sees any read past its end.
  std::vector<unsigned char> exact(link.bytes);
  exact.shrink_to_fit();
  return ReadShellLink(exact.data(), exact.size(), data);
}

struct ForeignLink {
  char const* name;
  Buffer bytes;
  ShellLinkStatus status;
  UTF16String target;
  UTF16String description;
};

TEST(ShellLinkRead, LinksOfOtherWriters) {
  UTF16String const wideBase = FromUtf8("D:\\Klänge\\日本\\");
  UTF16String const emoji = FromUtf8("take \xF0\x9F\x8E\xAC.wav");
  std::vector<ForeignLink> const links = {
      {"id list, 8-bit info, unicode name, trailing strings",
       Header(kIdList | kLinkInfo | kName | kRelativePath | kUnicode)
           .Append(IdList())
           .Append(NarrowInfo("C:\\Media\\clip.avi", ""))
           .Append(WideString(U16("My clip")))
           .Append(WideString(U16(".\\clip.avi")))
           .Append(Terminal()),
       ShellLinkStatus::kOk, U16("C:\\Media\\clip.avi"), U16("My clip")},
      {"no name",
       Header(kLinkInfo | kUnicode).Append(NarrowInfo("C:\\a.txt", "")).Append(Terminal()),
       ShellLinkStatus::kOk, U16("C:\\a.txt"), U16("")},
      {"suffix joined with one backslash",
       Header(kLinkInfo).Append(NarrowInfo("C:\\Media", "clip.avi")), ShellLinkStatus::kOk,
       U16("C:\\Media\\clip.avi"), U16("")},
      {"suffix after a base that ends in a backslash",
       Header(kLinkInfo).Append(NarrowInfo("C:\\", "clip.avi")), ShellLinkStatus::kOk,
       U16("C:\\clip.avi"), U16("")},
      {"wide forms preferred over the 8-bit ones",
       Header(kLinkInfo | kName | kUnicode)
           .Append(WideInfo(wideBase, emoji))
           .Append(WideString(FromUtf8("Beschreibung ü"))),
       ShellLinkStatus::kOk, wideBase + emoji, FromUtf8("Beschreibung ü")},
      {"8-bit UTF-8 texts",
       Header(kLinkInfo | kName).Append(NarrowInfo("\\home\\ann\\Müsik", "")).Append(
           NarrowString("für dich")),
       ShellLinkStatus::kOk, FromUtf8("\\home\\ann\\Müsik"), FromUtf8("für dich")},
      {"8-bit Latin texts widened byte by byte",
       Header(kLinkInfo | kName).Append(NarrowInfo("C:\\Jos\xE9", "")).Append(
           NarrowString("caf\xE9")),
       ShellLinkStatus::kOk, FromUtf8("C:\\José"), FromUtf8("café")},
      {"description cut at its first NUL",
       Header(kLinkInfo | kName | kUnicode)
           .Append(NarrowInfo("C:\\a", ""))
           .Append(WideString(UTF16String{'a', 'b', 0, 'c'})),
       ShellLinkStatus::kOk, U16("C:\\a"), U16("ab")},
      {"no link information", Header(kIdList | kName | kUnicode).Append(IdList()).Append(
                                  WideString(U16("x"))),
       ShellLinkStatus::kNoLocalPath, U16(""), U16("")},
      {"link information ignored by flag",
       Header(kLinkInfo | kForceNoLinkInfo).Append(NarrowInfo("C:\\a.txt", "")),
       ShellLinkStatus::kNoLocalPath, U16(""), U16("")},
      {"network share only", Header(kLinkInfo).Append(NetworkInfo()),
       ShellLinkStatus::kNoLocalPath, U16(""), U16("")},
      {"empty local base path", Header(kLinkInfo).Append(NarrowInfo("", "")),
       ShellLinkStatus::kNoLocalPath, U16(""), U16("")},
  };
  for (ForeignLink const& link : links) {
    SCOPED_TRACE(link.name);
    ShellLinkData data;
    ASSERT_EQ(link.status, Read(link.bytes, data));
    if (link.status != ShellLinkStatus::kOk) continue;
    EXPECT_EQ(link.target, data.targetPath);
    EXPECT_EQ(link.description, data.description);
  }
}

TEST(ShellLinkRead, HeaderFieldsComeThrough) {
  ShellLinkData data;
  ASSERT_EQ(ShellLinkStatus::kOk,
            Read(Header(kLinkInfo, 0x10).Append(NarrowInfo("C:\\d", "")), data));
  EXPECT_EQ(0x10u, data.fileAttributes);
  EXPECT_EQ(0x01D0000000000001u, data.creationTime);
  EXPECT_EQ(0x01D0000000000002u, data.accessTime);
  EXPECT_EQ(0x01D0000000000003u, data.writeTime);
  EXPECT_EQ(12345u, data.fileSize);
}

TEST(ShellLinkRead, EveryCutInsideTheReadPartIsTruncated) {
  Buffer const full = Header(kIdList | kLinkInfo | kName | kUnicode)
                          .Append(IdList())
                          .Append(WideInfo(U16("C:\\a"), U16("b")))
                          .Append(WideString(U16("desc")));
  for (std::size_t cut = 0; cut < full.bytes.size(); ++cut) {
    Buffer prefix;
    prefix.bytes.assign(full.bytes.begin(), full.bytes.begin() + static_cast<long>(cut));
    ShellLinkData data;
    EXPECT_EQ(ShellLinkStatus::kTruncated, Read(prefix, data)) << "cut at " << cut;
  }
  ShellLinkData data;
  EXPECT_EQ(ShellLinkStatus::kOk, Read(full, data));
}

// Overwrites the 32-bit field at `at` of the link information (which follows the header).
Buffer Patched(Buffer link, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) link.bytes[0x4C + at + i] = static_cast<unsigned char>(value >> 8 * i);
  return link;
}

TEST(ShellLinkRead, DamagedStructuresFailCleanly) {
  Buffer const narrow = Header(kLinkInfo).Append(NarrowInfo("C:\\a.txt", ""));
  Buffer const wide = Header(kLinkInfo).Append(WideInfo(U16("C:\\a.txt"), U16("")));
  std::uint32_t const narrowSize = narrow.Size() - 0x4C;
  std::uint32_t const wideSize = wide.Size() - 0x4C;

  Buffer unterminated = narrow;
  unterminated.bytes.back() = 'x';  // the suffix loses its NUL
  Buffer unterminatedWide = wide;
  unterminatedWide.bytes.back() = 'x';
  Buffer badSize = narrow;
  badSize.bytes[0] = 0x4D;
  Buffer badClass = narrow;
  badClass.bytes[19] ^= 1;

  struct Case {
    char const* name;
    Buffer bytes;
    ShellLinkStatus status;
  } const cases[] = {
      {"header size", badSize, ShellLinkStatus::kNotALink},
      {"class id", badClass, ShellLinkStatus::kNotALink},
      {"info smaller than its header", Patched(narrow, 0, 0x1B), ShellLinkStatus::kCorrupt},
      {"info larger than the file", Patched(narrow, 0, narrowSize + 1), ShellLinkStatus::kTruncated},
      {"info size near 4 GiB", Patched(narrow, 0, 0xFFFFFFFF), ShellLinkStatus::kTruncated},
      {"info header larger than info", Patched(narrow, 4, narrowSize + 1), ShellLinkStatus::kCorrupt},
      {"info header too small", Patched(narrow, 4, 0x10), ShellLinkStatus::kCorrupt},
      {"base path past the info", Patched(narrow, 16, narrowSize), ShellLinkStatus::kCorrupt},
      {"base path inside the header", Patched(narrow, 16, 4), ShellLinkStatus::kCorrupt},
      {"suffix offset near 4 GiB", Patched(narrow, 24, 0xFFFFFFF0), ShellLinkStatus::kCorrupt},
      {"unterminated suffix", unterminated, ShellLinkStatus::kCorrupt},
      {"wide base past the info", Patched(wide, 28, wideSize), ShellLinkStatus::kCorrupt},
      {"wide base on the last byte", Patched(wide, 28, wideSize - 1), ShellLinkStatus::kCorrupt},
      {"unterminated wide suffix", unterminatedWide, ShellLinkStatus::kCorrupt},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    ShellLinkData data;
    EXPECT_EQ(c.status, Read(c.bytes, data));
  }
}

TEST(ShellLinkWrite, ReadsBackWhatItWrote) {
  UTF16String longPath = U16("\\data");
  while (longPath.size() < 40000) longPath += U16("\\abcdefghij");
  struct Case {
    UTF16String target;
    UTF16String description;
  } const cases[] = {
      {U16("\\tmp\\a.txt"), U16("")},
      {U16("\\tmp\\dir"), U16("a folder")},
      {FromUtf8("\\home\\ann\\Müsik\\日本 \xF0\x9F\x8E\xAC.wav"), FromUtf8("für dich")},
      {longPath, UTF16String(0xFFFF, 'd')},
  };
  for (Case const& c : cases) {
    ShellLinkData link;
    link.targetPath = c.target;
    link.description = c.description;
    link.fileAttributes = 0x10;
    link.creationTime = 1;
    link.accessTime = 2;
    link.writeTime = 0x0123456789ABCDEF;
    link.fileSize = 77;
    UTF8String bytes;
    ASSERT_EQ(ShellLinkStatus::kOk, WriteShellLink(link, bytes));

    ShellLinkData back;
    ASSERT_EQ(ShellLinkStatus::kOk, ReadShellLink(bytes.data(), bytes.size(), back));
    EXPECT_EQ(c.target, back.targetPath);
    EXPECT_EQ(c.description, back.description);
    EXPECT_EQ(0x10u, back.fileAttributes);
    EXPECT_EQ(0x0123456789ABCDEFu, back.writeTime);
    EXPECT_EQ(77u, back.fileSize);

    // What other readers rely on: the header's size and flags, link information with both
    // path forms, the description counted in UTF-16 units, and the closing terminal block.
    ASSERT_GT(bytes.size(), 0x4Cu + 0x24u);
    EXPECT_EQ(0x4C, bytes[0]);
    std::uint32_t const flags = bytes[20] | bytes[21] << 8;
    EXPECT_EQ(0x2u | 0x80u | (c.description.empty() ? 0u : 0x4u), flags);
    EXPECT_EQ(0x24, bytes[0x4C + 4]) << "link information with the UTF-16 offsets";
    EXPECT_EQ(1, bytes[0x4C + 8]) << "volume id and local base path";
    EXPECT_EQ(UTF8String(4, 0), bytes.substr(bytes.size() - 4));
  }
}

TEST(ShellLinkWrite, RefusesWhatTheFormatCannotHold) {
  struct Case {
    char const* name;
    UTF16String target;
    UTF16String description;
  } const cases[] = {
      {"empty path", U16(""), U16("")},
      {"NUL in the path", UTF16String{'\\', 'a', 0, 'b'}, U16("")},
      {"NUL in the description", U16("\\a"), UTF16String{'x', 0}},
      {"description above 65535 units", U16("\\a"), UTF16String(0x10000, 'd')},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    ShellLinkData link;
    link.targetPath = c.target;
    link.description = c.description;
    UTF8String bytes;
    EXPECT_EQ(ShellLinkStatus::kUnwritable, WriteShellLink(link, bytes));
  }
}

}  // namespace
}  // namespace impl
}  // namespace filesupport
}  // namespace vireo
