// The debug database over a settings store in memory. The database is one per process, so
// the steps run in order in one test.
#include "vireo/debug/DebugDatabase.h"

#include <gtest/gtest.h>

#include <list>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"

namespace vireo {
namespace debug {
namespace {

// The preferences directory and the log live under a temporary home for the whole run.
testing::IsolatedEnvironment gEnvironment;

using testing::MemorySettingsStore;
using testing::ToStd;
using testing::ToU8;

constexpr char kFile[] = "Debug Database.txt";

std::vector<std::string> Keys(DebugDatabase& database) {
  std::list<utility::UTF8String> names{ToU8("left over")};
  database.GetDebugKeys(names);
  std::vector<std::string> keys;
  for (auto const& n : names) keys.push_back(ToStd(n));
  return keys;
}

TEST(DebugDatabase, LifeOfTheProcessDatabase) {
  MemorySettingsStore store;
  testing::ScopedSettingsStore installed(&store);
  store.files[kFile] = "assert.enabled\ttrue\r\nsearch\tx = y z\r\ncut";

  // A failed first read propagates; the next call reads again.
  store.failReads = true;
  EXPECT_THROW(DebugDatabase::Instance(), std::runtime_error);
  store.failReads = false;
  DebugDatabase& database = DebugDatabase::Instance();
  EXPECT_EQ(&DebugDatabase::Instance(), &database);
  EXPECT_EQ(store.reads[kFile], 2);

  EXPECT_EQ(ToStd(database.GetEntry(ToU8("assert.enabled"), ToU8("false"))), "true");
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("search"), ToU8(""))), "x = y z");
  EXPECT_FALSE(database.HasEntry(ToU8("cut"))) << "a last line without line end is not taken";
  EXPECT_EQ(Keys(database), (std::vector<std::string>{"assert.enabled", "search"}));

  // A default is kept in memory and reaches the file with the next SetEntry.
  EXPECT_FALSE(database.HasEntry(ToU8("new")));
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("new"), ToU8("dflt"))), "dflt");
  EXPECT_TRUE(database.HasEntry(ToU8("new")));
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("new"), ToU8("other"))), "dflt");

  database.SetEntry(ToU8("a.b"), ToU8("1"));
  EXPECT_EQ(store.File(kFile), "a.b\t1\nassert.enabled\ttrue\nnew\tdflt\nsearch\tx = y z\n");

  // Clear empties the database but not the file, until the next SetEntry.
  database.Clear();
  EXPECT_TRUE(Keys(database).empty());
  EXPECT_FALSE(database.HasEntry(ToU8("a.b")));
  EXPECT_EQ(store.writes.size(), 1u);
  database.SetEntry(ToU8("a.b"), ToU8("1"));
  EXPECT_EQ(store.File(kFile), "a.b\t1\n");

  // A failed write propagates; the value stays in memory.
  store.failWrites = true;
  EXPECT_THROW(database.SetEntry(ToU8("a.b"), ToU8("2")), std::runtime_error);
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("a.b"), ToU8(""))), "2");
}

}  // namespace
}  // namespace debug
}  // namespace vireo
