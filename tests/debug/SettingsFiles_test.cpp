// The settings files' formats, read from hand-written bytes and written back.
#include "vireo/debug/src/SettingsFiles.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "tests/debug/MemorySettingsStore.h"

namespace vireo {
namespace debug {
namespace {

using testing::ToStd;
using testing::ToU8;

// What the text-mode writer puts on disk for a text.
std::string OnDisk(std::string const& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct Category {
  std::string name;
  bool enabled;
  long volume;
};

std::vector<Category> Categories(proplist::PropList const& database) {
  std::list<utility::UTF8String> names;
  database.GetPropertyNames(names);
  std::vector<Category> result;
  for (auto const& name : names) {
    proplist::PropList const* entry = database.GetSubList(name);
    Category c{ToStd(name), false, -999};
    if (entry) {
      entry->GetValue(ToU8("Enabled"), c.enabled);
      entry->GetValue(ToU8("Volume"), c.volume);
    }
    result.push_back(c);
  }
  return result;
}

bool operator==(Category const& a, Category const& b) {
  return a.name == b.name && a.enabled == b.enabled && a.volume == b.volume;
}
std::ostream& operator<<(std::ostream& os, Category const& c) {
  return os << "{" << c.name << ", " << c.enabled << ", " << c.volume << "}";
}

TEST(TraceDatabaseFormat, ReadsRecords) {
  struct Case {
    char const* what;
    std::string bytes;
    std::vector<Category> expected;
  };
  std::vector<Case> const cases = {
      {"empty", "", {}},
      {"CR LF lines", "Master\t1\t10\r\nX\t1\t5\r\n", {{"Master", true, 10}, {"X", true, 5}}},
      {"LF lines", "Master\t1\t10\nX\t0\t7\n", {{"Master", true, 10}, {"X", false, 7}}},
      {"last line without line feed is not taken", "A\t1\t3\nB\t1\t4", {{"A", true, 3}}},
      {"last line cut after the name", "A\t1\t3\nB", {{"A", true, 3}}},
      {"last line cut after the enabled field", "A\t1\t3\nB\t1\t", {{"A", true, 3}}},
      {"enabled 2 is disabled", "A\t2\t5\n", {{"A", false, 5}}},
      {"enabled true is disabled", "A\ttrue\t5\n", {{"A", false, 5}}},
      {"enabled 0 is disabled", "A\t0\t5\n", {{"A", false, 5}}},
      {"enabled 01 reads as 1", "A\t01\t5\n", {{"A", true, 5}}},
      {"volume not a number", "A\t1\tloud\r\n", {{"A", true, 0}}},
      {"volume empty", "A\t1\t\n", {{"A", true, 0}}},
      {"volume with trailing text", "A\t1\t12abc\n", {{"A", true, 12}}},
      {"negative volume", "A\t1\t-3\r\n", {{"A", true, -3}}},
      {"volume beyond 32 bits stops at the bound", "A\t1\t99999999999\n",
       {{"A", true, 2147483647}}},
      {"names keep spaces and dots", "WREN.Allocator pool\t1\t1\n",
       {{"WREN.Allocator pool", true, 1}}},
      {"a later record replaces an earlier one", "A\t1\t3\nA\t0\t4\n", {{"A", false, 4}}},
  };
  for (auto const& c : cases) {
    proplist::PropList database;
    impl::ParseTraceDatabase(ToU8(c.bytes), database);
    EXPECT_EQ(Categories(database), c.expected) << c.what;
  }
}

TEST(TraceDatabaseFormat, WritesBackByteForByte) {
  std::vector<std::string> const files = {
      "",
      "Master\t1\t10\r\n",
      "Master\t0\t10\r\nWREN.Allocator\t1\t1\r\nX\t1\t5\r\n",
      "A\t0\t-7\r\nB\t1\t2147483647\r\nC\t1\t-2147483648\r\n",
  };
  for (auto const& disk : files) {
    proplist::PropList database;
    impl::ParseTraceDatabase(ToU8(disk), database);
    EXPECT_EQ(OnDisk(ToStd(impl::FormatTraceDatabase(database))), disk);
  }
}

TEST(TraceDatabaseFormat, WritesNormalisedFormOfUntidyFiles) {
  struct Case {
    std::string in, out;
  };
  std::vector<Case> const cases = {
      {"B\t1\t5\nA\t1\t5\n", "A\t1\t5\nB\t1\t5\n"},  // key order
      {"A\ttrue\tx\r\n", "A\t0\t0\n"},
      {"A\t1\t 7\n", "A\t1\t7\n"},
      {"A\t1\t3\nB\t1", "A\t1\t3\n"},
  };
  for (auto const& c : cases) {
    proplist::PropList database;
    impl::ParseTraceDatabase(ToU8(c.in), database);
    EXPECT_EQ(ToStd(impl::FormatTraceDatabase(database)), c.out) << c.in;
  }
}

TEST(TraceDatabaseFormat, MissingPropertiesWriteDefaultsAndPlainValuesAreSkipped) {
  proplist::PropList database;
  database.NewSubList(ToU8("Bare"));
  database.NewSubList(ToU8("Quiet"))->SetValue(ToU8("Volume"), 2L);
  database.SetValue(ToU8("Stray"), ToU8("not a setting"));
  EXPECT_EQ(ToStd(impl::FormatTraceDatabase(database)), "Bare\t1\t5\nQuiet\t1\t2\n");
}

TEST(DebugDatabaseFormat, ReadsRecords) {
  typedef std::vector<std::pair<std::string, std::string>> Entries;
  struct Case {
    char const* what;
    std::string bytes;
    Entries expected;
  };
  std::vector<Case> const cases = {
      {"empty", "", {}},
      {"CR LF", "assert.enabled\ttrue\r\n", {{"assert.enabled", "true"}}},
      {"LF", "assert.enabled\ttrue\n", {{"assert.enabled", "true"}}},
      {"spaces and equals signs stay", "a b\tx = y z \r\n", {{"a b", "x = y z "}}},
      {"later tabs belong to the value", "k\tv1\tv2\n", {{"k", "v1\tv2"}}},
      {"only the CR before the LF is dropped", "k\ta\rb\r\r\n", {{"k", "a\rb\r"}}},
      {"last line without line feed is not taken", "a\t1\nb\t2", {{"a", "1"}}},
      {"name without a tab at the end", "a\t1\nb", {{"a", "1"}}},
      {"empty value", "a\t\r\n", {{"a", ""}}},
  };
  for (auto const& c : cases) {
    proplist::PropList database;
    impl::ParseDebugDatabase(ToU8(c.bytes), database);
    std::list<utility::UTF8String> names;
    database.GetPropertyNames(names);
    Entries got;
    for (auto const& name : names) {
      utility::UTF8String value;
      EXPECT_TRUE(database.GetValue(name, value)) << c.what;
      got.emplace_back(ToStd(name), ToStd(value));
    }
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(DebugDatabaseFormat, WritesBackByteForByte) {
  std::vector<std::string> const files = {
      "",
      "a.b\t1\r\n",
      "assert.enabled\ttrue\r\ncommand.history\tdebug.get x = 1\r\nempty\t\r\n",
  };
  for (auto const& disk : files) {
    proplist::PropList database;
    impl::ParseDebugDatabase(ToU8(disk), database);
    EXPECT_EQ(OnDisk(ToStd(impl::FormatDebugDatabase(database))), disk);
  }
}

TEST(SettingsNumber, ReadsAsAtolWithin32Bits) {
  struct Case {
    char const* text;
    long value;
  };
  Case const cases[] = {
      {"", 0},           {"0", 0},         {"1", 1},
      {" \t42", 42},     {"+8", 8},        {"-8", -8},
      {"12ab", 12},      {"ab12", 0},      {"-", 0},
      {"--1", 0},        {"1 2", 1},       {"2147483647", 2147483647},
      {"2147483648", 2147483647},          {"-2147483648", -2147483648L},
      {"-99999999999999999999", -2147483648L},
  };
  for (auto const& c : cases) EXPECT_EQ(impl::ParseSettingsNumber(ToU8(c.text)), c.value) << c.text;
}

}  // namespace
}  // namespace debug
}  // namespace vireo
