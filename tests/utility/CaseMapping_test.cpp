// Case mapping: every BMP unit against the Unicode 3.0 data files read here, the table's
// size, and the mappings that deviate from the files or expand.
#include "vireo/utility/CaseMapping.h"

#include "vireo/utility/src/CaseMappingTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vireo {
namespace utility {
namespace {

typedef std::vector<unsigned short> Units;

UTF16String U(std::initializer_list<unsigned short> units) { return UTF16String(units); }

UTF16String W(char const* ascii) {
  UTF16String s;
  for (; *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

// The oracle: the three forms of each key, from the data files as the rules read them.
struct Oracle {
  std::map<unsigned, std::array<Units, 3>> rows;  // lower, upper, fold

  // Lines of a data file as fields; "#" starts a comment.
  static std::vector<std::vector<std::string>> Fields(std::string const& name) {
    std::ifstream in(std::string(VIREO_UNICODE_DATA_DIR) + "/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(in, line);) {
      line.erase(std::find(line.begin(), line.end(), '#'), line.end());
      if (line.find(';') == std::string::npos) continue;
      std::vector<std::string> fields(1);
      for (char c : line) {
        if (c == ';')
          fields.emplace_back();
        else if (c != ' ' && c != '\r')
          fields.back().push_back(c);
        else if (!fields.back().empty() && fields.back().back() != ' ')
          fields.back().push_back(' ');
      }
      for (std::string& f : fields)
        while (!f.empty() && f.back() == ' ') f.pop_back();
      lines.push_back(fields);
    }
    return lines;
  }

  static Units Hex(std::string const& text) {
    Units units;
    std::istringstream in(text);
    for (unsigned value; in >> std::hex >> value;) units.push_back(static_cast<unsigned short>(value));
    return units;
  }

  static bool Covered(unsigned cp) {
    static unsigned const ranges[][2] = {
        {0x41, 0x7A},     {0x80, 0xFF},     {0x100, 0x24F},   {0x250, 0x2AF},   {0x345, 0x345},
        {0x370, 0x3FF},   {0x400, 0x4FF},   {0x530, 0x58F},   {0x1E00, 0x1EFF}, {0x1F00, 0x1FFF},
        {0x2126, 0x2126}, {0x212A, 0x212B}, {0x2160, 0x217F}, {0x24B6, 0x24E9}, {0xFB00, 0xFB06},
        {0xFB13, 0xFB17}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}};
    for (auto const& r : ranges)
      if (cp >= r[0] && cp <= r[1]) return true;
    return false;
  }

  std::array<Units, 3>& Row(unsigned cp) {
    auto it = rows.find(cp);
    if (it == rows.end()) {
      Units self{static_cast<unsigned short>(cp)};
      it = rows.emplace(cp, std::array<Units, 3>{self, self, self}).first;
    }
    return it->second;
  }

  Oracle() {
    std::map<unsigned, std::array<Units, 2>> special;  // lower, upper
    for (auto const& f : Fields("SpecialCasing-2.txt"))
      if (f.size() < 5 || f[4].empty())
        special[std::stoul(f[0], nullptr, 16)] = {Hex(f[1]), Hex(f[3])};
    for (auto const& f : Fields("UnicodeData-3.0.0.txt")) {
      unsigned const cp = std::stoul(f[0], nullptr, 16);
      if (cp > 0xFFFF || !Covered(cp) || (f[12].empty() && f[13].empty())) continue;
      auto& row = Row(cp);
      if (!f[13].empty()) row[0] = Hex(f[13]);
      if (!f[12].empty()) row[1] = Hex(f[12]);
    }
    for (auto const& s : special)
      if (Covered(s.first)) {
        Row(s.first)[0] = s.second[0];
        Row(s.first)[1] = s.second[1];
      }
    for (auto const& f : Fields("CaseFolding-2.txt")) {
      unsigned const cp = std::stoul(f[0], nullptr, 16);
      Units const fold = Hex(f[2]);
      if (Covered(cp) && fold != Units{static_cast<unsigned short>(cp)}) Row(cp)[2] = fold;
    }
    // The values the library fixes whatever the files say.
    Row(0x0130)[0] = Row(0x0130)[2] = Units{0x0069};
    Row(0x0131)[2] = Units{0x0069};
    for (unsigned sigma : {0x03A3u, 0x03C3u, 0x03C2u, 0x03F2u}) Row(sigma)[2] = Units{0x03C2};
    Row(0x03F2)[1] = Units{0x03A3};
  }
};

Units Of(UTF16String const& s) { return Units(s.begin(), s.end()); }

TEST(CaseMapping, EveryBmpUnitMatchesTheDataFiles) {
  Oracle const oracle;
  ASSERT_GT(oracle.rows.size(), 1000u);
  int mismatches = 0;
  for (unsigned cp = 0; cp <= 0xFFFF; ++cp) {
    UTF16String const unit(1, static_cast<unsigned short>(cp));
    Units const self{static_cast<unsigned short>(cp)};
    auto const it = oracle.rows.find(cp);
    std::array<Units, 3> const want =
        it != oracle.rows.end() ? it->second : std::array<Units, 3>{self, self, self};
    std::array<Units, 3> const got = {Of(LowerCase(unit)), Of(UpperCase(unit)), Of(FoldCase(unit))};
    for (int form = 0; form < 3; ++form)
      if (got[form] != want[form] && ++mismatches <= 20)
        ADD_FAILURE() << "unit " << std::hex << cp << " form " << form;
  }
  EXPECT_EQ(0, mismatches);
}

// Long texts go through the vector paths: every unit in order (whole blocks per vector), each
// unit after an ASCII letter (ASCII mixed with one block), and units in a scattered order
// (several blocks per vector). Each path the processor has must give the oracle's result.
TEST(CaseMapping, LongTextsMatchTheDataFilesOnEveryPath) {
  Oracle const oracle;
  std::vector<UTF16String> texts(3);
  for (unsigned cp = 0; cp <= 0xFFFF; ++cp) {
    texts[0].push_back(static_cast<unsigned short>(cp));
    texts[1] += UTF16String{u'q', static_cast<unsigned short>(cp)};
    texts[2].push_back(static_cast<unsigned short>((cp * 40503u + 7u) & 0xFFFF));
  }
  UTF16String (*const functions[3])(UTF16String const&) = {LowerCase, UpperCase, FoldCase};
  for (int limit = 0; limit <= 3; ++limit) {
    int const previous = impl::SetCaseMappingPathLimit(limit);
    for (UTF16String const& text : texts)
      for (int form = 0; form < 3; ++form) {
        UTF16String want;
        for (unsigned short unit : text) {
          auto const it = oracle.rows.find(unit);
          if (it == oracle.rows.end())
            want.push_back(unit);
          else
            want.append(it->second[form].begin(), it->second[form].end());
        }
        UTF16String const got = functions[form](text);
        EXPECT_EQ(want.size(), got.size()) << "path " << limit << " form " << form;
        EXPECT_TRUE(want == got) << "path " << limit << " form " << form;
      }
    impl::SetCaseMappingPathLimit(previous);
  }
}

TEST(CaseMapping, TableHas1446RowsAnd102MultiUnitUpperForms) {
  int rows = 0, multiUpper = 0, multiFold = 0, multiLower = 0;
  for (unsigned cp = 0; cp <= 0xFFFF; ++cp) {
    UTF16String const unit(1, static_cast<unsigned short>(cp));
    UTF16String const lower = LowerCase(unit), upper = UpperCase(unit), fold = FoldCase(unit);
    // Every row changes the unit in at least one form.
    rows += lower != unit || upper != unit || fold != unit;
    multiUpper += upper.size() > 1;
    multiFold += fold.size() > 1;
    multiLower += lower.size() > 1;
    EXPECT_LE(upper.size(), 3u);
  }
  EXPECT_EQ(1446, rows);
  EXPECT_EQ(102, multiUpper);
  EXPECT_EQ(102, multiFold);
  EXPECT_EQ(0, multiLower);
}

TEST(CaseMapping, OneToManyForms) {
  UTF16String const strasse = {u'S', u't', u'r', u'a', 0x00DF, u'e'};
  EXPECT_EQ(W("STRASSE"), UpperCase(strasse));
  EXPECT_EQ(W("strasse"), FoldCase(strasse));
  EXPECT_EQ(W("strasse"), LowerCase(W("STRASSE")));
  EXPECT_EQ(W("FFI"), UpperCase(U({0xFB03})));
  EXPECT_EQ(W("ffi"), FoldCase(U({0xFB03})));
  EXPECT_EQ(U({0xFB03}), LowerCase(U({0xFB03})));
  EXPECT_EQ(U({0x02BC, u'N'}), UpperCase(U({0x0149})));
  // Greek with iota subscript: capital with ypogegrammeni upper-cases to two letters.
  EXPECT_EQ(U({0x0391, 0x0399}), UpperCase(U({0x1FB3})));
  EXPECT_EQ(U({0x03B9}), FoldCase(U({0x0345})));
  EXPECT_EQ(U({0x03B9}), FoldCase(U({0x1FBE})));
}

TEST(CaseMapping, FixedValuesAndNoContext) {
  EXPECT_EQ(U({0x0069}), LowerCase(U({0x0130})));
  EXPECT_EQ(U({0x0069}), FoldCase(U({0x0130})));
  EXPECT_EQ(U({0x0069}), FoldCase(U({0x0131})));
  EXPECT_EQ(U({0x0049}), UpperCase(U({0x0131})));
  for (unsigned short sigma : {0x03A3, 0x03C3, 0x03C2, 0x03F2})
    EXPECT_EQ(U({0x03C2}), FoldCase(U({sigma}))) << std::hex << sigma;
  EXPECT_EQ(U({0x03A3}), UpperCase(U({0x03F2})));
  // No final-sigma rule: a capital sigma lower-cases the same at the end of a word.
  EXPECT_EQ(U({0x03BF, 0x03C3}), LowerCase(U({0x039F, 0x03A3})));
  // No Turkic rule: I lower-cases to i.
  EXPECT_EQ(W("i"), LowerCase(W("I")));
}

TEST(CaseMapping, LetterLikeSymbolsAndUnitsWithoutEntries) {
  EXPECT_EQ(U({0xFF21}), UpperCase(U({0xFF41})));
  EXPECT_EQ(U({0x24B6}), UpperCase(U({0x24D0})));
  EXPECT_EQ(U({0x2160}), UpperCase(U({0x2170})));
  EXPECT_EQ(U({0x03C9}), LowerCase(U({0x2126})));  // ohm sign
  EXPECT_EQ(U({u'k'}), LowerCase(U({0x212A})));     // kelvin sign
  // Later additions and other scripts pass through.
  for (unsigned short unit : {0x10D0, 0x10A0, 0x0220, 0x023A, 0x03F4, 0x048A, 0x0500, 0x1E9E})
    EXPECT_EQ(U({unit}), UpperCase(U({unit}))) << std::hex << unit;
  EXPECT_EQ(U({0x10A0}), LowerCase(U({0x10A0})));
  // A surrogate pair is copied unit by unit (U+10400 has no entry either).
  UTF16String const pair = {0xD801, 0xDC00, u'a'};
  EXPECT_EQ(U({0xD801, 0xDC00, u'A'}), UpperCase(pair));
  EXPECT_EQ(UTF16String(), UpperCase(UTF16String()));
  EXPECT_EQ(UTF16String(), FoldCase(UTF16String()));
}

TEST(CaseMapping, LongTextsWithManyExpansions) {
  // Expansions everywhere: the result grows past its first size several times.
  UTF16String text;
  for (int i = 0; i < 5000; ++i) text += U({0xFB03, u'x', 0x00DF});
  for (int limit = 0; limit <= 3; ++limit) {
    int const previous = impl::SetCaseMappingPathLimit(limit);
    UTF16String const upper = UpperCase(text);
    impl::SetCaseMappingPathLimit(previous);
    ASSERT_EQ(5000u * 6, upper.size()) << limit;
    for (std::size_t i = 0; i < upper.size(); i += 6)
      ASSERT_EQ(W("FFIXSS"), upper.substr(i, 6)) << i << " path " << limit;
  }
  EXPECT_EQ(text.size(), LowerCase(text).size());
  // Every unit of a vector expands, at its end too.
  UTF16String const sharp(64 + 31, 0x00DF);
  EXPECT_EQ(UTF16String(2 * sharp.size(), u'S'), UpperCase(sharp));
}

TEST(CaseMapping, InPlaceFormsAssignTheCopies) {
  UTF16String s = {u'A', 0x00DF, 0x03A3};
  UTF16String const original = s;
  ToUpperCase(s);
  EXPECT_EQ(UpperCase(original), s);
  ToLowerCase(s);
  EXPECT_EQ(LowerCase(UpperCase(original)), s);
  s = original;
  ToFoldCase(s);
  EXPECT_EQ(U({u'a', u's', u's', 0x03C2}), s);
}

TEST(CaseMapping, FirstUseFromManyThreadsAgrees) {
  UTF16String const text = {u'a', 0x00DF, 0x0450, 0x1F80, 0xFF41};
  UTF16String const expected = {u'A', u'S', u'S', 0x0400, 0x1F08, 0x0399, 0xFF21};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i)
        if (UpperCase(text) != expected) ++wrong;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(0, wrong.load());
}

}  // namespace
}  // namespace utility
}  // namespace vireo
