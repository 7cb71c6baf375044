// The SAX reader over expat: namespace processing with local names, internal entities
// replaced, no external entity ever loaded, expat's amplification guard against entity bombs.
#include "vireo/platform/Sax.h"

// The amplification guard is declared only for an expat built with DTD support, as the
// distribution's is (and must be: the guard is what refuses entity bombs).
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace vireo {
namespace platform {

SaxContentSink::~SaxContentSink() = default;

namespace {

// Separates a namespace URI from the local name in expat's names. Not a legal XML
// character, so it can occur in neither part.
constexpr char kNamespaceSeparator = '\x01';

// Expansion of entities may reach this multiple of the document's own size...
constexpr float kMaxAmplification = 100.0f;
// ...once it has produced this many bytes (small documents with a few entities stay legal).
constexpr unsigned long long kAmplificationThreshold = 8ull << 20;

// Input goes to expat in blocks of this size, larger only while a long token is open.
constexpr std::size_t kFirstBlockSize = 256 << 10;
constexpr std::size_t kLargestBlockSize = std::size_t(1) << 30;

char const* LocalName(char const* name, std::size_t& length) {
  char const* local = std::strrchr(name, kNamespaceSeparator);
  local = local ? local + 1 : name;
  length = std::strlen(local);
  return local;
}

class Reader {
 public:
  Reader(SaxContentSink& sink, SaxLimits const& limits) : sink_(sink), limits_(limits) {}
  ~Reader() {
    if (parser_) XML_ParserFree(parser_);
  }
  Reader(Reader const&) = delete;
  Reader& operator=(Reader const&) = delete;

  bool Create() {
    parser_ = XML_ParserCreateNS(nullptr, kNamespaceSeparator);
    if (!parser_) return false;
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser_, OnCharacters);
    // No external entity handler and no parameter-entity parsing: external entities and the
    // external DTD subset are never fetched.
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser_, kMaxAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_, kAmplificationThreshold);
    return true;
  }

  bool Begin() { return Deliver([this] { return sink_.StartDocument(); }); }

  // Parses the whole document held in memory; false when the parse failed or was stopped.
  // It goes in blocks, so expat's copy of the input stays small; a block in which nothing
  // happened (one long token still open) makes the next one twice as large, so that a long
  // token is not scanned again block after block.
  bool Feed(char const* data, std::size_t size) {
    std::size_t block = kFirstBlockSize;
    do {
      std::size_t const n = size < block ? size : block;
      bool const last = n == size;
      unsigned long const before = events_;
      if (XML_Parse(parser_, data, static_cast<int>(n), last) != XML_STATUS_OK) return Failed();
      data += n;
      size -= n;
      if (events_ == before && block < kLargestBlockSize) block *= 2;
    } while (size > 0);
    return true;
  }

  // The size of the next file read after one of `size` bytes.
  std::size_t NextReadSize(std::size_t size, unsigned long eventsBefore) const {
    return events_ == eventsBefore && size < kLargestBlockSize ? size * 2 : size;
  }
  unsigned long Events() const { return events_; }

  // Parses `size` bytes that the caller placed in the buffer from XML_GetBuffer.
  bool FeedBuffer(std::size_t size, bool final) {
    if (XML_ParseBuffer(parser_, static_cast<int>(size), final) != XML_STATUS_OK) return Failed();
    return true;
  }

  void* Buffer(std::size_t size) { return XML_GetBuffer(parser_, static_cast<int>(size)); }

  void Finish() {
    if (status_ == kSaxOk && FlushText()) Deliver([this] { return sink_.EndDocument(); });
  }

  void SetStatus(SaxStatus status) {
    if (status_ == kSaxOk) status_ = status;
  }

  SaxResult Result() const {
    SaxResult result{status_, 0, 0};
    if (parser_) {
      result.line = static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_));
      result.column = static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_));
    }
    return result;
  }

 private:
  // Runs a sink callback; a false answer (or running out of memory here) ends the parse.
  template <class Call>
  bool Deliver(Call call) {
    if (status_ != kSaxOk) return false;
    bool goOn = false;
    try {
      goOn = call();
    } catch (std::bad_alloc const&) {
      return Stop(kSaxNoMemory);
    } catch (...) {
      // The contract forbids it; a parse cannot be unwound through C frames.
    }
    return goOn || Stop(kSaxStopped);
  }

  bool Stop(SaxStatus status) {
    SetStatus(status);
    if (parser_) XML_StopParser(parser_, XML_FALSE);
    return false;
  }

  bool FlushText() {
    if (text_.empty()) return true;
    bool const ok = Deliver([this] { return sink_.Characters(text_.data(), text_.size()); });
    text_.clear();
    return ok;
  }

  bool Failed() {
    switch (XML_GetErrorCode(parser_)) {
      case XML_ERROR_ABORTED:  // stopped from a callback; the status says why
        break;
      case XML_ERROR_NO_MEMORY:
        SetStatus(kSaxNoMemory);
        break;
      case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
        SetStatus(kSaxAmplification);
        break;
      default:
        // The text read up to the fault is an event that came before it.
        FlushText();
        SetStatus(kSaxMalformed);
    }
    return false;
  }

  static void XMLCALL OnStartElement(void* self, XML_Char const* name, XML_Char const** atts) {
    auto& reader = *static_cast<Reader*>(self);
    ++reader.events_;
    if (reader.status_ != kSaxOk || !reader.FlushText()) return;
    std::vector<SaxAttribute>& attributes = reader.attributes_;
    attributes.clear();
    try {
      for (; atts[0]; atts += 2) {
        SaxAttribute a;
        a.name = LocalName(atts[0], a.nameLength);
        a.value = atts[1];
        a.valueLength = std::strlen(atts[1]);
        attributes.push_back(a);
      }
    } catch (std::bad_alloc const&) {
      reader.Stop(kSaxNoMemory);
      return;
    }
    std::size_t length;
    char const* local = LocalName(name, length);
    reader.Deliver([&] {
      return reader.sink_.StartElement(local, length, attributes.data(), attributes.size());
    });
  }

  static void XMLCALL OnEndElement(void* self, XML_Char const* name) {
    auto& reader = *static_cast<Reader*>(self);
    ++reader.events_;
    if (reader.status_ != kSaxOk || !reader.FlushText()) return;
    std::size_t length;
    char const* local = LocalName(name, length);
    reader.Deliver([&] { return reader.sink_.EndElement(local, length); });
  }

  static void XMLCALL OnCharacters(void* self, XML_Char const* text, int length) {
    auto& reader = *static_cast<Reader*>(self);
    ++reader.events_;
    if (reader.status_ != kSaxOk || length <= 0) return;
    if (reader.text_.size() + std::size_t(length) > reader.limits_.maxTextRun) {
      reader.text_.clear();
      reader.Stop(kSaxTextTooLong);
      return;
    }
    try {
      reader.text_.append(text, std::size_t(length));
    } catch (std::bad_alloc const&) {
      reader.Stop(kSaxNoMemory);
    }
  }

  SaxContentSink& sink_;
  SaxLimits limits_;
  XML_Parser parser_ = nullptr;
  SaxStatus status_ = kSaxOk;
  unsigned long events_ = 0;  // expat callbacks so far
  std::string text_;  // character data not yet delivered
  std::vector<SaxAttribute> attributes_;
};

// Reads up to `size` bytes; the count, 0 at the end, -1 on failure.
long ReadSome(int fd, void* buffer, std::size_t size) {
  for (;;) {
    ssize_t const n = ::read(fd, buffer, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno != EINTR) return -1;
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(FileDescriptor const&) = delete;
  FileDescriptor& operator=(FileDescriptor const&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

SaxResult SaxParseBuffer(void const* data, std::size_t size, SaxContentSink& sink,
                         SaxLimits const& limits) {
  Reader reader(sink, limits);
  if (!reader.Create()) return SaxResult{kSaxNoMemory, 0, 0};
  if (reader.Begin() && reader.Feed(static_cast<char const*>(data), size)) reader.Finish();
  return reader.Result();
}

SaxResult SaxParseFile(char const* path, SaxContentSink& sink, SaxLimits const& limits) {
  if (!path) return SaxResult{kSaxCannotRead, 0, 0};
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return SaxResult{kSaxCannotRead, 0, 0};
  FileDescriptor file(fd);

  Reader reader(sink, limits);
  if (!reader.Create()) return SaxResult{kSaxNoMemory, 0, 0};
  if (!reader.Begin()) return reader.Result();
  std::size_t readSize = kFirstBlockSize;
  for (;;) {
    void* buffer = reader.Buffer(readSize);
    if (!buffer) {
      reader.SetStatus(kSaxNoMemory);
      return reader.Result();
    }
    long const n = ReadSome(file.get(), buffer, readSize);
    if (n < 0) {
      reader.SetStatus(kSaxCannotRead);
      return reader.Result();
    }
    unsigned long const before = reader.Events();
    if (!reader.FeedBuffer(std::size_t(n), n == 0)) return reader.Result();
    if (n == 0) break;
    readSize = reader.NextReadSize(readSize, before);
  }
  reader.Finish();
  return reader.Result();
}

bool SaxReadDocument(char const* path, std::size_t maxSize, std::string& out) {
  // Looked at before opening: opening a pipe would take a writer's data or wait for one.
  struct stat info;
  if (!path || ::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  FileDescriptor file(fd);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > maxSize)
    return false;
  try {
    out.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    for (;;) {
      // One byte more than expected shows a file that grew meanwhile.
      if (done == out.size()) out.resize(done + 1);
      long const n = ReadSome(fd, &out[done], out.size() - done);
      if (n < 0) return false;
      if (n == 0) break;
      done += std::size_t(n);
      if (done > maxSize) return false;
    }
    out.resize(done);
  } catch (std::bad_alloc const&) {
    return false;
  }
  return true;
}

}  // namespace platform
}  // namespace vireo
