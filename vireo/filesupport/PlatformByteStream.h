// Byte streams on files, through the platform's file services. Each opens its file when made
// and closes it when destroyed. Every call goes to the system: stack a buffered stream on top
// for small reads and writes.
#ifndef VIREO_FILESUPPORT_PLATFORMBYTESTREAM_H
#define VIREO_FILESUPPORT_PLATFORMBYTESTREAM_H

#include "vireo/Export.h"
#include "vireo/filesupport/ByteStream.h"
#include "vireo/filesupport/File.h"
#include "vireo/platform/Files.h"

namespace vireo {
namespace filesupport {

// Reads an existing file, which others may read meanwhile. Throws file_not_found_exception
// when the file or a folder of its path is missing, io_error for any other failure to open.
// Reading at or past the end, or getting fewer bytes than asked, throws eof_error; any other
// failure of a read, seek or size query throws io_error.
class VIREO_API IPlatformByteStream : public IByteStream {
 public:
  explicit IPlatformByteStream(File const& inFile);
  ~IPlatformByteStream() override;
  IPlatformByteStream(IPlatformByteStream const&) = delete;
  IPlatformByteStream& operator=(IPlatformByteStream const&) = delete;

  unsigned char Get() override;
  void ReadBlock(unsigned char* outData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  unsigned long long Length() const override;

  File const& GetFile() const { return file_; }

 private:
  File file_;
  platform::FileHandle handle_;
};

// Writes an existing file (File::Create makes one), opened without sharing. Writing starts at
// the beginning and replaces bytes in place; positions beyond the end leave a gap that reads
// as zeros. Open failures as for the input stream; a failed write, seek or size query throws
// io_error.
class VIREO_API OPlatformByteStream : public OByteStream {
 public:
  explicit OPlatformByteStream(File const& inFile);
  ~OPlatformByteStream() override;
  OPlatformByteStream(OPlatformByteStream const&) = delete;
  OPlatformByteStream& operator=(OPlatformByteStream const&) = delete;

  void Put(unsigned char inByte) override;
  void WriteBlock(unsigned char const* inData, unsigned long inCount) override;
  void CurPos(unsigned long long inPosition) override;
  unsigned long long CurPos() const override;
  // The file's size.
  virtual unsigned long long Length() const;

  File const& GetFile() const { return file_; }

 private:
  File file_;
  platform::FileHandle handle_;
};

}  // namespace filesupport
}  // namespace vireo

#endif
