// The debug database: named debug variables with text values ("assert.enabled" = "true"),
// kept in "Debug Database.txt" in the preferences directory. Dots are part of a name, not
// a hierarchy.
#ifndef VIREO_DEBUG_DEBUGDATABASE_H
#define VIREO_DEBUG_DEBUGDATABASE_H

#include <list>

#include "vireo/Export.h"
#include "vireo/proplist/PropList.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {

// No lock of its own: use it from one thread at a time (the console's and the assertions').
class VIREO_API DebugDatabase : public proplist::PropList {
 public:
  // The process's database, read from its file on the first call. Errors of reading the file
  // propagate to that caller, and the next call tries again.
  static DebugDatabase& Instance();

  // The value under name; when there is none, stores defaultValue (in memory only; it reaches
  // the file with the next SetEntry) and returns it.
  utility::UTF8String GetEntry(utility::UTF8String const& name,
                               utility::UTF8String const& defaultValue);
  // Stores the value and rewrites the whole file.
  void SetEntry(utility::UTF8String const& name, utility::UTF8String const& value);
  bool HasEntry(utility::UTF8String const& name) const;
  // Replaces the content of names with every variable's name, in byte order.
  void GetDebugKeys(std::list<utility::UTF8String>& names);
  // Removes every variable; the file keeps its contents until the next SetEntry.
  void Clear() override;

  ~DebugDatabase() override;

 private:
  DebugDatabase();
  void Save();
};

}  // namespace debug
}  // namespace vireo

#endif
