// The settings files in the preferences directory: hand-written files read, and written back
// byte for byte with CR LF line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/debug/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/debug/DebugDatabase.h"
#include "vireo/debug/Trace.h"
#include "vireo/debug/src/TraceInternal.h"

namespace vireo {
namespace debug {
namespace {

using testing::ToStd;
using testing::ToU8;

testing::IsolatedEnvironment gEnvironment;

class SettingsOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::SetCompanyName(utility::AsciiToUTF16("Quillon"));
    config::SetClientName(utility::AsciiToUTF16("Tern"));
    config::SetClientInternalVersion(utility::AsciiToUTF16("2.1"));
    impl::ResetTraceManagerForTesting();
  }
  void TearDown() override { impl::ResetTraceManagerForTesting(); }

  static std::filesystem::path Folder() {
    return std::filesystem::path(gEnvironment.ConfigHome()) / "Quillon" / "Tern" / "2.1";
  }
  static void Put(char const* name, std::string const& bytes) {
    std::filesystem::create_directories(Folder());
    std::ofstream(Folder() / name, std::ios::binary) << bytes;
  }
  static std::string Get(char const* name) {
    std::ifstream in(Folder() / name, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST_F(SettingsOnDiskTest, TraceDatabaseIsReadAndWrittenBack) {
  struct Case {
    std::string before;
    std::string after;  // once the category "New" has been created
  };
  Case const cases[] = {
      {"<missing>", "Master\t1\t10\r\nNew\t1\t5\r\n"},
      {"Master\t1\t10\r\nX\t1\t7\r\n", "Master\t1\t10\r\nNew\t1\t5\r\nX\t1\t7\r\n"},
      {"Master\t1\t10\nX\t0\t7\n", "Master\t1\t10\r\nNew\t1\t5\r\nX\t0\t7\r\n"},
      {"Master\t1\t10\r\nX\ttrue\tloud\r\nY\t1", "Master\t1\t10\r\nNew\t1\t5\r\nX\t0\t0\r\n"},
  };
  for (auto const& c : cases) {
    impl::ResetTraceManagerForTesting();
    std::filesystem::remove(Folder() / "Trace Database.txt");
    if (c.before != "<missing>") Put("Trace Database.txt", c.before);
    EXPECT_TRUE(TraceEnabled(ToU8("New"), 5, false)) << c.before;
    EXPECT_EQ(Get("Trace Database.txt"), c.after) << c.before;
    ShutdownTraceManager();
    EXPECT_EQ(Get("Trace Database.txt"), c.after) << "shutdown writes the same bytes again";
  }
}

TEST_F(SettingsOnDiskTest, WrittenTraceFileIsReadBackUnchanged) {
  std::filesystem::remove(Folder() / "Trace Database.txt");
  SetMasterTraceVolume(7);
  SetTraceVolume(ToU8("WREN.Allocator"), 1);
  std::string const written = Get("Trace Database.txt");
  EXPECT_EQ(written, "Master\t1\t7\r\nWREN.Allocator\t1\t1\r\n");
  ShutdownTraceManager();
  EXPECT_EQ(GetTraceVolume(ToU8("WREN.Allocator")), 1);
  ShutdownTraceManager();
  EXPECT_EQ(Get("Trace Database.txt"), written);
}

// The debug database is read once per process: one pass through its life.
TEST_F(SettingsOnDiskTest, DebugDatabaseIsReadAndWrittenBack) {
  Put("Debug Database.txt", "assert.enabled\ttrue\r\nsearch\tx = y\tz\r\n");
  DebugDatabase& database = DebugDatabase::Instance();
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("assert.enabled"), ToU8("false"))), "true");
  EXPECT_EQ(ToStd(database.GetEntry(ToU8("search"), ToU8(""))), "x = y\tz");
  database.SetEntry(ToU8("search"), ToU8("x = y\tz"));
  EXPECT_EQ(Get("Debug Database.txt"), "assert.enabled\ttrue\r\nsearch\tx = y\tz\r\n");
  database.Clear();
  EXPECT_EQ(Get("Debug Database.txt"), "assert.enabled\ttrue\r\nsearch\tx = y\tz\r\n");
  database.SetEntry(ToU8("a.b"), ToU8("1"));
  EXPECT_EQ(Get("Debug Database.txt"), "a.b\t1\r\n");
}

}  // namespace
}  // namespace debug
}  // namespace vireo
