// A parse handler that writes down every event it receives, as UTF-8 lines.
#ifndef VIREO_TESTS_XML_RECORDINGHANDLER_H
#define VIREO_TESTS_XML_RECORDINGHANDLER_H

#include <string>
#include <vector>

#include "vireo/xml/XMLParser.h"

namespace vireo {
namespace testing {

class RecordingHandler : public xml::AbstractParseHandler {
 public:
  // Events go to `log`, which outlives the handler (the parser owns and destroys it).
  explicit RecordingHandler(std::vector<std::string>& log, bool* destroyed = nullptr)
      : log_(log), destroyed_(destroyed) {}
  ~RecordingHandler() override {
    if (destroyed_) *destroyed_ = true;
  }

  void StartDocument() override { log_.push_back("begin"); }
  void StartElement(utility::UTF16String const& name, xml::AttributeMap const& attributes) override {
    std::string line = "<" + Narrow(name);
    for (auto const& a : attributes) line += " " + Narrow(a.first) + "=" + Narrow(a.second);
    log_.push_back(line + ">");
    if (throwAt == Narrow(name)) throw std::runtime_error("handler gave up");
  }
  void EndElement(utility::UTF16String const& name) override {
    log_.push_back("</" + Narrow(name) + ">");
  }
  void Characters(utility::UTF16String const& text) override {
    // Text in several calls is one text to a handler.
    if (!log_.empty() && log_.back().compare(0, 5, "text:") == 0)
      log_.back() += Narrow(text);
    else
      log_.push_back("text:" + Narrow(text));
  }
  void EndDocument() override { log_.push_back("end"); }

  std::string throwAt;

 private:
  static std::string Narrow(utility::UTF16String const& s) {
    utility::UTF8String const bytes = utility::UTF16to8(s);
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<std::string>& log_;
  bool* destroyed_;
};

}  // namespace testing
}  // namespace vireo

#endif
