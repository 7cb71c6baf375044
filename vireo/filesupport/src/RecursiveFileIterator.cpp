// The depth-first walk over a directory tree. A listing iterator at end equals a default one.
#include "vireo/filesupport/RecursiveFileIterator.h"

#include <utility>

namespace vireo {
namespace filesupport {

RecursiveFileIterator::RecursiveFileIterator() : atEnd_(true), resolveShortcuts_(false) {}

RecursiveFileIterator::RecursiveFileIterator(Dir const& inRoot, bool inResolveShortcuts)
    : atEnd_(false), resolveShortcuts_(inResolveShortcuts) {
  try {
    current_ = inRoot;
    levels_.emplace_back();
    inRoot.BeginFilesAndSubdirs(inResolveShortcuts, file_, levels_.back());
    if (file_ == Dir::FileIterator()) MoveOn();
  } catch (...) {
    atEnd_ = true;
    levels_.clear();
  }
}

// Descends into the next directory that holds a file, or ends the walk.
void RecursiveFileIterator::MoveOn() {
  while (!levels_.empty()) {
    Dir::DirIterator& next = levels_.back();
    if (next == Dir::DirIterator()) {
      levels_.pop_back();
      continue;
    }
    current_ = *next;
    ++next;
    Dir::DirIterator subdirs;
    current_.BeginFilesAndSubdirs(resolveShortcuts_, file_, subdirs);
    levels_.push_back(std::move(subdirs));
    if (file_ != Dir::FileIterator()) return;
  }
  atEnd_ = true;
}

File RecursiveFileIterator::operator*() const { return *file_; }

Dir RecursiveFileIterator::CurrentDir() const { return current_; }

RecursiveFileIterator& RecursiveFileIterator::operator++() {
  if (atEnd_) return *this;
  if (file_ != Dir::FileIterator()) {
    ++file_;
    if (file_ != Dir::FileIterator()) return *this;
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
         levels_ == inOther.levels_;
}

}  // namespace filesupport
}  // namespace vireo
