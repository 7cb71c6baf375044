// Builds the library's case table (lower, upper and folded form of every BMP unit that has
// one) from the Unicode 3.0 data files in data/unicode-3.0, and writes it as a C++ source of
// constant arrays. The build runs it; the output never goes into the source tree.
//
//   vireo_casegen <data directory> <output .cpp>
//
// Rules:
//   - keys: the units of the listed blocks that have a simple mapping in UnicodeData, an
//     unconditional SpecialCasing entry or a folding that changes them;
//   - lower and upper: the simple mapping, replaced by the unconditional SpecialCasing one;
//   - fold: the CaseFolding mapping (every entry of the 3.0 file is a full folding);
//   - a few values are fixed whatever the files say (Turkic i, the sigmas).
// Layout of the output: 256 block numbers (block 0 maps everything to itself), then per form
// 256 entries per block. An entry below 0x10000 is added to the unit (modulo 2^16); above it,
// bits 16-17 hold the length (2 or 3) and bits 0-15 the offset of the units in the expansion
// pool.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::uint32_t> Units;

struct Forms {
  Units form[3];  // lower, upper, fold
};

// The blocks whose letters the table covers; anything the data maps outside them is an error.
struct Range {
  std::uint32_t first, last;
};
Range const kKeyRanges[] = {
    {0x0041, 0x007A}, {0x0080, 0x00FF}, {0x0100, 0x024F}, {0x0250, 0x02AF},
    {0x0345, 0x0345}, {0x0370, 0x03FF}, {0x0400, 0x04FF}, {0x0530, 0x058F},
    {0x1E00, 0x1EFF}, {0x1F00, 0x1FFF}, {0x2126, 0x2126}, {0x212A, 0x212B},
    {0x2160, 0x217F}, {0x24B6, 0x24E9}, {0xFB00, 0xFB06}, {0xFB13, 0xFB17},
    {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A},
};

bool InKeyRanges(std::uint32_t cp) {
  for (Range const& r : kKeyRanges)
    if (cp >= r.first && cp <= r.last) return true;
  return false;
}

[[noreturn]] void Fail(std::string const& message) {
  std::fprintf(stderr, "vireo_casegen: %s\n", message.c_str());
  std::exit(1);
}

std::string Trim(std::string const& s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return std::string();
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// The ';'-separated fields of each data line of a file, comments removed.
std::vector<std::vector<std::string>> ReadRecords(std::string const& path) {
  std::ifstream in(path);
  if (!in) Fail("cannot read " + path);
  std::vector<std::vector<std::string>> records;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    std::vector<std::string> fields;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, ';')) fields.push_back(Trim(field));
    if (line.back() == ';') fields.push_back(std::string());
    records.push_back(fields);
  }
  return records;
}

Units ParseUnits(std::string const& text) {
  Units units;
  std::stringstream ss(text);
  std::string hex;
  while (ss >> hex) units.push_back(static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16)));
  return units;
}

std::map<std::uint32_t, Forms> BuildTable(std::string const& dir) {
  std::map<std::uint32_t, Units> simpleLower, simpleUpper, specialLower, specialUpper, folding;
  for (auto const& f : ReadRecords(dir + "/UnicodeData-3.0.0.txt")) {
    if (f.size() < 14) Fail("short UnicodeData record " + f[0]);
    std::uint32_t cp = static_cast<std::uint32_t>(std::stoul(f[0], nullptr, 16));
    if (cp > 0xFFFF || (f[12].empty() && f[13].empty())) continue;
    simpleUpper[cp] = f[12].empty() ? Units{cp} : ParseUnits(f[12]);
    simpleLower[cp] = f[13].empty() ? Units{cp} : ParseUnits(f[13]);
  }
  for (auto const& f : ReadRecords(dir + "/SpecialCasing-2.txt")) {
    if (f.size() < 4) Fail("short SpecialCasing record " + f[0]);
    if (f.size() > 4 && !f[4].empty()) continue;  // conditional: final sigma, Turkic, ...
    std::uint32_t cp = static_cast<std::uint32_t>(std::stoul(f[0], nullptr, 16));
    specialLower[cp] = ParseUnits(f[1]);
    specialUpper[cp] = ParseUnits(f[3]);
  }
  for (auto const& f : ReadRecords(dir + "/CaseFolding-2.txt")) {
    if (f.size() < 3) Fail("short CaseFolding record " + f[0]);
    std::uint32_t cp = static_cast<std::uint32_t>(std::stoul(f[0], nullptr, 16));
    Units mapped = ParseUnits(f[2]);
    if (mapped != Units{cp}) folding[cp] = mapped;
  }

  std::map<std::uint32_t, Forms> table;
  auto add = [&](std::uint32_t cp) {
    if (table.count(cp)) return;
    if (!InKeyRanges(cp)) Fail("a mapping outside the covered blocks: " + std::to_string(cp));
    Forms forms;
    for (Units& u : forms.form) u = Units{cp};
    if (specialLower.count(cp)) {
      forms.form[0] = specialLower[cp];
      forms.form[1] = specialUpper[cp];
    } else if (simpleLower.count(cp)) {
      forms.form[0] = simpleLower[cp];
      forms.form[1] = simpleUpper[cp];
    }
    if (folding.count(cp)) forms.form[2] = folding[cp];
    table[cp] = forms;
  };
  for (auto const& e : simpleLower) add(e.first);
  for (auto const& e : specialLower) add(e.first);
  for (auto const& e : folding) add(e.first);

  // Fixed values: Turkic dotted and dotless i fold to plain i; every sigma folds to the
  // final sigma, and the lunate sigma upper-cases to the capital.
  auto force = [&](std::uint32_t cp, int form, std::uint32_t value) {
    add(cp);
    table[cp].form[form] = Units{value};
  };
  force(0x0130, 0, 0x0069);
  force(0x0130, 2, 0x0069);
  force(0x0131, 2, 0x0069);
  for (std::uint32_t sigma : {0x03A3u, 0x03C3u, 0x03C2u, 0x03F2u}) force(sigma, 2, 0x03C2);
  force(0x03F2, 1, 0x03A3);

  for (auto const& e : table)
    for (Units const& u : e.second.form)
      if (u.empty() || u.size() > 3) Fail("a form of 0 or more than 3 units");
  return table;
}

std::string Generate(std::map<std::uint32_t, Forms> const& table) {
  // Block numbers: 0 is the identity block, used by every 256-unit block without a key.
  std::array<int, 256> blockOf{};
  int blocks = 1;
  for (auto const& e : table)
    if (blockOf[e.first >> 8] == 0) blockOf[e.first >> 8] = blocks++;

  std::vector<std::uint32_t> entries[3];
  for (auto& v : entries) v.assign(static_cast<std::size_t>(blocks) * 256, 0);
  std::vector<std::uint32_t> pool;
  for (auto const& e : table) {
    std::size_t index = static_cast<std::size_t>(blockOf[e.first >> 8]) * 256 + (e.first & 0xFF);
    for (int f = 0; f < 3; ++f) {
      Units const& u = e.second.form[f];
      if (u.size() == 1) {
        entries[f][index] = (u[0] - e.first) & 0xFFFF;
      } else {
        entries[f][index] = (static_cast<std::uint32_t>(u.size()) << 16) |
                            static_cast<std::uint32_t>(pool.size());
        pool.insert(pool.end(), u.begin(), u.end());
      }
    }
  }
  if (pool.size() > 0xFFFF) Fail("expansion pool too large");

  std::size_t multiUpper = 0;
  for (auto const& e : table) multiUpper += e.second.form[1].size() > 1;

  std::ostringstream out;
  char buf[32];
  out << "// Generated by tools/casegen from data/unicode-3.0. Do not edit.\n"
      << "// " << table.size() << " keys, " << multiUpper << " with a multi-unit upper form.\n"
      << "#include \"vireo/utility/src/CaseTable.h\"\n\n"
      << "namespace vireo {\nnamespace utility {\nnamespace impl {\n\n"
      << "std::uint8_t const kCaseBlockOf[256] = {";
  for (int i = 0; i < 256; ++i) out << (i % 16 ? " " : "\n    ") << blockOf[i] << ",";
  out << "\n};\n";
  char const* const names[3] = {"kLowerBlocks", "kUpperBlocks", "kFoldBlocks"};
  for (int f = 0; f < 3; ++f) {
    out << "\nstatic CaseBlock const " << names[f] << "[" << blocks << "] = {";
    for (std::size_t i = 0; i < entries[f].size(); ++i) {
      if (i % 256 == 0) out << (i ? "\n    }," : "") << "\n    {";
      std::snprintf(buf, sizeof buf, "0x%05X,", static_cast<unsigned>(entries[f][i]));
      out << (i % 8 ? " " : "\n        ") << buf;
    }
    out << "\n    },\n};\n";
  }
  out << "\nCaseBlock const* const kCaseEntries[3] = {kLowerBlocks, kUpperBlocks, kFoldBlocks};\n";
  out << "\nstd::uint16_t const kCaseExpansions[" << (pool.empty() ? 1 : pool.size())
      << "] = {";
  for (std::size_t i = 0; i < pool.size(); ++i) {
    std::snprintf(buf, sizeof buf, "0x%04X,", static_cast<unsigned>(pool[i]));
    out << (i % 8 ? " " : "\n    ") << buf;
  }
  out << "\n};\n\n}  // namespace impl\n}  // namespace utility\n}  // namespace vireo\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: vireo_casegen <data directory> <output .cpp>");
  std::string const text = Generate(BuildTable(argv[1]));
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
