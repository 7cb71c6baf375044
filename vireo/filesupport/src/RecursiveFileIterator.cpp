// The depth-first walk over a directory tree.
#include "vireo/filesupport/RecursiveFileIterator.h"

namespace vireo {
namespace filesupport {

RecursiveFileIterator::RecursiveFileIterator() : atEnd_(true), resolveShortcuts_(false) {}

RecursiveFileIterator::RecursiveFileIterator(Dir const& inRoot, bool inResolveShortcuts)
    : atEnd_(false), resolveShortcuts_(inResolveShortcuts) {
  try {
    current_ = inRoot;
    file_ = inRoot.BeginFiles(inResolveShortcuts);
    fileEnd_ = inRoot.EndFiles();
    levels_.emplace_back(inRoot.BeginSubdirs(inResolveShortcuts), inRoot.EndSubdirs());
    if (file_ == fileEnd_) MoveOn();
  } catch (...) {
    atEnd_ = true;
    levels_.clear();
  }
}

// Descends into the next directory that holds a file, or ends the walk.
void RecursiveFileIterator::MoveOn() {
  while (!levels_.empty()) {
    Level& top = levels_.back();
    if (top.first == top.second) {
      levels_.pop_back();
      continue;
    }
    current_ = *top.first;
    ++top.first;
    file_ = current_.BeginFiles(resolveShortcuts_);
    fileEnd_ = current_.EndFiles();
    levels_.emplace_back(current_.BeginSubdirs(resolveShortcuts_), current_.EndSubdirs());
    if (file_ != fileEnd_) return;
  }
  atEnd_ = true;
}

File RecursiveFileIterator::operator*() const { return *file_; }

Dir RecursiveFileIterator::CurrentDir() const { return current_; }

RecursiveFileIterator& RecursiveFileIterator::operator++() {
  if (atEnd_) return *this;
  if (file_ != fileEnd_) {
    ++file_;
    if (file_ != fileEnd_) return *this;
  }
  MoveOn();
  return *this;
}

RecursiveFileIterator RecursiveFileIterator::operator++(int) {
  RecursiveFileIterator before(*this);
  ++*this;
  return before;
}

bool RecursiveFileIterator::operator==(RecursiveFileIterator const& inOther) const {
  if (atEnd_ || inOther.atEnd_) return atEnd_ == inOther.atEnd_;
  return resolveShortcuts_ == inOther.resolveShortcuts_ && file_ == inOther.file_ &&
         fileEnd_ == inOther.fileEnd_ && levels_ == inOther.levels_;
}

}  // namespace filesupport
}  // namespace vireo
