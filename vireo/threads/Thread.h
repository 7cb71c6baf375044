// Thread handles and thread groups over Boost threads.
#ifndef VIREO_THREADS_THREAD_H
#define VIREO_THREADS_THREAD_H

#include <string>

#include <boost/function.hpp>
#include <boost/thread/xtime.hpp>

#include "vireo/Export.h"

namespace boost {
class thread;
class thread_group;
}  // namespace boost

namespace vireo {
namespace threads {

class ThreadGroup;

// A named handle of a Boost thread. Copying transfers the thread and leaves the source empty.
// Destroying a handle neither joins nor stops its thread. A handle whose thread belongs to a
// ThreadGroup (made by CreateThread or given by AddThread) leaves the thread to the group.
class VIREO_API Thread {
 public:
  // A handle of no running thread (the calling thread is not adopted).
  explicit Thread(std::string const& inName);
  // Starts a new thread running inFunction.
  Thread(std::string const& inName, boost::function0<void> const& inFunction);
  Thread(Thread& ioOther);
  Thread& operator=(Thread& ioOther);
  virtual ~Thread();

  void Join();
  std::string const& GetName() const { return name_; }

  // Sleeps until the absolute time inTime (boost::TIME_UTC_ clock).
  static void Sleep(boost::xtime const& inTime);
  // Gives up the rest of the time slice.
  static void YieldTime();

 protected:
  Thread(std::string const& inName, boost::thread* inThread);
  boost::thread* GetThread();

 private:
  friend class ThreadGroup;
  std::string name_;
  boost::thread* thread_;
  bool ownsThread_;  // false while a group holds the thread
};

// A group of threads that can be joined together. Copying transfers the group.
class VIREO_API ThreadGroup {
 public:
  explicit ThreadGroup(std::string const& inName);
  ThreadGroup(ThreadGroup& ioOther);
  ThreadGroup& operator=(ThreadGroup& ioOther);
  // Deletes the group and the threads it holds (it does not join them).
  virtual ~ThreadGroup();

  // Starts a thread in the group and returns a new handle named
  // "<group name> created thread #<n>", n counting from 1. The caller deletes the handle;
  // the thread stays with the group.
  Thread* CreateThread(boost::function0<void> const& inFunction);
  // Hands inThread's thread to the group, which then deletes it. A thread that already
  // belongs to a group (this one or another) is left where it is.
  void AddThread(Thread* inThread);
  // Takes inThread's thread out of the group and gives it back to the handle; nothing
  // happens when the thread is not in this group.
  void RemoveThread(Thread* inThread);
  void JoinAll();
  long Size();

  std::string const& GetName() const { return name_; }

 private:
  long created_;
  std::string name_;
  boost::thread_group* group_;
};

}  // namespace threads
}  // namespace vireo

#endif
