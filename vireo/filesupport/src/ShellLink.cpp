// Shell Link codec. Layout: a 76-byte header, an optional item-id list (skipped), the
// optional link information with the local base path, then length-counted strings of which
// the first is the description. All numbers are little-endian.
#include "vireo/filesupport/src/ShellLink.h"

#include <algorithm>
#include <cstring>

namespace vireo {
namespace filesupport {
namespace impl {
namespace {

using utility::UTF16String;
using utility::UTF8String;

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Link flags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;

// Link information.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kInfoHeaderSize = 0x1C;
constexpr std::uint32_t kInfoHeaderSizeWithUnicode = 0x24;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kVolumeIdSize = 0x11;  // four numbers and an empty label
constexpr std::uint32_t kShowNormal = 1;

// Keeps the link-information size, which is a sum of offsets, far from 32-bit overflow.
constexpr std::size_t kMaxPathUnits = 0x1000000;

class Bytes {
 public:
  Bytes(unsigned char const* data, std::size_t size) : data_(data), size_(size) {}

  bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
  }
  std::uint64_t U64(std::size_t at) const {
    return static_cast<std::uint64_t>(U32(at)) | static_cast<std::uint64_t>(U32(at + 4)) << 32;
  }
  unsigned char const* At(std::size_t at) const { return data_ + at; }

 private:
  unsigned char const* data_;
  std::size_t size_;
};

// 8-bit text of a link is in the writer's code page: UTF-8 here; bytes that are not UTF-8
// come from a Latin code page and are widened one by one rather than cut short.
UTF16String DecodeNarrow(unsigned char const* p, std::size_t length) {
  UTF8String bytes(p, p + length);
  UTF16String wide = utility::UTF8to16(bytes);
  if (utility::UTF16to8(wide) == bytes) return wide;
  return UTF16String(p, p + length);
}

UTF16String DecodeWide(Bytes const& in, std::size_t at, std::size_t units) {
  UTF16String text;
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) text.push_back(in.U16(at + 2 * i));
  return text;
}

// A NUL-terminated string inside [begin, end); false when unterminated.
bool ReadNarrowZ(Bytes const& in, std::size_t at, std::size_t end, UTF16String& text) {
  void const* nul = std::memchr(in.At(at), 0, end - at);
  if (!nul) return false;
  text = DecodeNarrow(in.At(at), static_cast<std::size_t>(static_cast<unsigned char const*>(nul) - in.At(at)));
  return true;
}

bool ReadWideZ(Bytes const& in, std::size_t at, std::size_t end, UTF16String& text) {
  std::size_t units = 0;
  for (;; ++units) {
    if (end - at < 2 * (units + 1)) return false;
    if (in.U16(at + 2 * units) == 0) break;
  }
  text = DecodeWide(in, at, units);
  return true;
}

// The link information's local base path and common suffix, joined. `info` is its offset,
// `infoSize` its checked size; an empty result means it names no local path.
ShellLinkStatus ReadLocalPath(Bytes const& in, std::size_t info, std::size_t infoSize,
                              UTF16String& path) {
  std::size_t const headerSize = in.U32(info + 4);
  if (headerSize < kInfoHeaderSize || headerSize > infoSize) return ShellLinkStatus::kCorrupt;
  if (!(in.U32(info + 8) & kVolumeIdAndLocalBasePath)) return ShellLinkStatus::kOk;
  bool const hasUnicode = headerSize >= kInfoHeaderSizeWithUnicode;
  std::size_t const end = info + infoSize;

  // Offsets count from the start of the link information and point past its header.
  auto read = [&](std::size_t narrowField, std::size_t wideField, UTF16String& text) {
    std::size_t const wide = hasUnicode ? in.U32(info + wideField) : 0;
    std::size_t const narrow = in.U32(info + narrowField);
    std::size_t const offset = wide ? wide : narrow;
    if (offset == 0) return true;  // an absent suffix
    if (offset < headerSize || offset >= infoSize) return false;
    return wide ? ReadWideZ(in, info + offset, end, text) : ReadNarrowZ(in, info + offset, end, text);
  };
  UTF16String base, suffix;
  if (!read(16, 28, base) || !read(24, 32, suffix)) return ShellLinkStatus::kCorrupt;
  if (!base.empty() && !suffix.empty() && base.back() != '\\') base.push_back('\\');
  path = base + suffix;
  return ShellLinkStatus::kOk;
}

void Put16(UTF8String& out, std::uint32_t value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}
void Put32(UTF8String& out, std::uint32_t value) {
  Put16(out, value);
  Put16(out, value >> 16);
}
void Put64(UTF8String& out, std::uint64_t value) {
  Put32(out, static_cast<std::uint32_t>(value));
  Put32(out, static_cast<std::uint32_t>(value >> 32));
}
void PutWide(UTF8String& out, UTF16String const& text) {
  for (unsigned short unit : text) Put16(out, unit);
}

bool HasNul(UTF16String const& text) { return text.find(static_cast<unsigned short>(0)) != UTF16String::npos; }

}  // namespace

ShellLinkStatus ReadShellLink(unsigned char const* data, std::size_t size, ShellLinkData& out) {
  Bytes const in(data, size);
  if (!in.Has(0, kHeaderSize)) return ShellLinkStatus::kTruncated;
  if (in.U32(0) != kHeaderSize || std::memcmp(in.At(4), kLinkClassId, sizeof kLinkClassId) != 0)
    return ShellLinkStatus::kNotALink;
  std::uint32_t const flags = in.U32(20);
  out.fileAttributes = in.U32(24);
  out.creationTime = in.U64(28);
  out.accessTime = in.U64(36);
  out.writeTime = in.U64(44);
  out.fileSize = in.U32(52);
  out.targetPath.clear();
  out.description.clear();

  std::size_t at = kHeaderSize;
  if (flags & kHasLinkTargetIdList) {
    if (!in.Has(at, 2)) return ShellLinkStatus::kTruncated;
    std::size_t const listSize = in.U16(at);
    at += 2;
    if (!in.Has(at, listSize)) return ShellLinkStatus::kTruncated;
    at += listSize;
  }
  if (flags & kHasLinkInfo) {
    if (!in.Has(at, 4)) return ShellLinkStatus::kTruncated;
    std::size_t const infoSize = in.U32(at);
    if (infoSize < kInfoHeaderSize) return ShellLinkStatus::kCorrupt;
    if (!in.Has(at, infoSize)) return ShellLinkStatus::kTruncated;
    if (!(flags & kForceNoLinkInfo)) {
      ShellLinkStatus const status = ReadLocalPath(in, at, infoSize, out.targetPath);
      if (status != ShellLinkStatus::kOk) return status;
    }
    at += infoSize;
  }
  if (flags & kHasName) {
    if (!in.Has(at, 2)) return ShellLinkStatus::kTruncated;
    std::size_t const count = in.U16(at);
    at += 2;
    bool const unicode = (flags & kIsUnicode) != 0;
    if (!in.Has(at, unicode ? 2 * count : count)) return ShellLinkStatus::kTruncated;
    out.description = unicode ? DecodeWide(in, at, count) : DecodeNarrow(in.At(at), count);
    // Readers of the description see text up to its first NUL, as a C string would.
    out.description.resize(std::min(out.description.size(),
                                    out.description.find(static_cast<unsigned short>(0))));
  }
  return out.targetPath.empty() ? ShellLinkStatus::kNoLocalPath : ShellLinkStatus::kOk;
}

ShellLinkStatus WriteShellLink(ShellLinkData const& link, UTF8String& bytes) {
  UTF16String const& path = link.targetPath;
  if (path.empty() || path.size() > kMaxPathUnits || HasNul(path) || HasNul(link.description) ||
      link.description.size() > 0xFFFF)
    return ShellLinkStatus::kUnwritable;
  UTF8String const narrowPath = utility::UTF16to8(path);

  bytes.clear();
  std::uint32_t flags = kHasLinkInfo | kIsUnicode;
  if (!link.description.empty()) flags |= kHasName;
  Put32(bytes, kHeaderSize);
  bytes.append(kLinkClassId, kLinkClassId + sizeof kLinkClassId);
  Put32(bytes, flags);
  Put32(bytes, link.fileAttributes);
  Put64(bytes, link.creationTime);
  Put64(bytes, link.accessTime);
  Put64(bytes, link.writeTime);
  Put32(bytes, link.fileSize);
  Put32(bytes, 0);  // icon index
  Put32(bytes, kShowNormal);
  Put16(bytes, 0);  // hot key
  Put16(bytes, 0);  // reserved
  Put32(bytes, 0);
  Put32(bytes, 0);

  // Link information: header, volume id, the path in both forms, empty suffixes in both.
  std::uint32_t const volumeId = kInfoHeaderSizeWithUnicode;
  std::uint32_t const localBase = volumeId + kVolumeIdSize;
  std::uint32_t const suffix = localBase + static_cast<std::uint32_t>(narrowPath.size()) + 1;
  std::uint32_t const localBaseWide = suffix + 1;
  std::uint32_t const suffixWide = localBaseWide + 2 * (static_cast<std::uint32_t>(path.size()) + 1);
  Put32(bytes, suffixWide + 2);
  Put32(bytes, kInfoHeaderSizeWithUnicode);
  Put32(bytes, kVolumeIdAndLocalBasePath);
  Put32(bytes, volumeId);
  Put32(bytes, localBase);
  Put32(bytes, 0);  // no network location
  Put32(bytes, suffix);
  Put32(bytes, localBaseWide);
  Put32(bytes, suffixWide);
  Put32(bytes, kVolumeIdSize);
  Put32(bytes, kDriveFixed);
  Put32(bytes, 0);     // serial number
  Put32(bytes, 0x10);  // label offset within the volume id
  bytes.push_back(0);  // empty label
  bytes.append(narrowPath);
  bytes.push_back(0);
  bytes.push_back(0);  // empty suffix
  PutWide(bytes, path);
  Put16(bytes, 0);
  Put16(bytes, 0);  // empty wide suffix

  if (!link.description.empty()) {
    Put16(bytes, static_cast<std::uint32_t>(link.description.size()));
    PutWide(bytes, link.description);
  }
  Put32(bytes, 0);  // terminal block: no extra data
  return ShellLinkStatus::kOk;
}

}  // namespace impl
}  // namespace filesupport
}  // namespace vireo
