// Thread and ThreadGroup over Boost threads.
#include "vireo/threads/Thread.h"

#include <boost/thread/thread.hpp>

#include "vireo/threads/src/CallWrapper.h"

namespace vireo {
namespace threads {

Thread::Thread(std::string const& inName)
    : name_(inName),
      thread_(impl::CallWrapped([] { return new boost::thread; })),
      ownsThread_(true) {}

Thread::Thread(std::string const& inName, boost::function0<void> const& inFunction)
    : name_(inName),
      thread_(impl::CallWrapped([&inFunction] { return new boost::thread(inFunction); })),
      ownsThread_(true) {}

Thread::Thread(std::string const& inName, boost::thread* inThread)
    : name_(inName), thread_(inThread), ownsThread_(false) {}

Thread::Thread(Thread& ioOther)
    : name_(ioOther.name_), thread_(ioOther.thread_), ownsThread_(ioOther.ownsThread_) {
  ioOther.thread_ = nullptr;
}

Thread& Thread::operator=(Thread& ioOther) {
  if (this != &ioOther) {
    if (thread_ != ioOther.thread_ && ownsThread_) delete thread_;
    name_ = ioOther.name_;
    thread_ = ioOther.thread_;
    ownsThread_ = ioOther.ownsThread_;
    ioOther.thread_ = nullptr;
  }
  return *this;
}

Thread::~Thread() {
  // Deleting a joinable boost::thread detaches it: the thread runs on without its handle.
  if (ownsThread_) delete thread_;
}

void Thread::Join() {
  impl::CallWrapped([this] {
    if (thread_ && thread_->joinable()) thread_->join();
  });
}

void Thread::Sleep(boost::xtime const& inTime) {
  impl::CallWrapped([&inTime] { boost::thread::sleep(inTime); });
}

void Thread::YieldTime() {
  impl::CallWrapped([] { boost::thread::yield(); });
}

boost::thread* Thread::GetThread() { return thread_; }

ThreadGroup::ThreadGroup(std::string const& inName)
    : created_(0),
      name_(inName),
      group_(impl::CallWrapped([] { return new boost::thread_group; })) {}

ThreadGroup::ThreadGroup(ThreadGroup& ioOther)
    : created_(ioOther.created_), name_(ioOther.name_), group_(ioOther.group_) {
  ioOther.group_ = nullptr;
}

ThreadGroup& ThreadGroup::operator=(ThreadGroup& ioOther) {
  if (this != &ioOther) {
    if (group_ != ioOther.group_) delete group_;
    created_ = ioOther.created_;
    name_ = ioOther.name_;
    group_ = ioOther.group_;
    ioOther.group_ = nullptr;
  }
  return *this;
}

ThreadGroup::~ThreadGroup() { delete group_; }

Thread* ThreadGroup::CreateThread(boost::function0<void> const& inFunction) {
  boost::thread* thread =
      impl::CallWrapped([this, &inFunction] { return group_->create_thread(inFunction); });
  if (!thread) return nullptr;
  ++created_;
  return new Thread(name_ + " created thread #" + std::to_string(created_), thread);
}

void ThreadGroup::AddThread(Thread* inThread) {
  // A thread already in a group (this one or another) stays where it is: two owners would
  // delete it twice.
  if (!inThread || !inThread->thread_ || !inThread->ownsThread_) return;
  impl::CallWrapped([this, inThread] { group_->add_thread(inThread->thread_); });
  inThread->ownsThread_ = false;
}

void ThreadGroup::RemoveThread(Thread* inThread) {
  if (!inThread || !inThread->thread_) return;
  // Only a member goes back to its handle; another group's thread stays with that group.
  bool const member = impl::CallWrapped([this, inThread] {
    if (!group_->is_thread_in(inThread->thread_)) return false;
    group_->remove_thread(inThread->thread_);
    return true;
  });
  if (member) inThread->ownsThread_ = true;
}

void ThreadGroup::JoinAll() {
  impl::CallWrapped([this] { group_->join_all(); });
}

long ThreadGroup::Size() {
  return impl::CallWrapped([this] { return static_cast<long>(group_->size()); });
}

}  // namespace threads
}  // namespace vireo
