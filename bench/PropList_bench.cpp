// Saving and loading a property list of 100 000 keys (1 000 nested lists of 99 values each:
// strings, UTF-16 strings, integers of every size, floating values, booleans and arrays),
// as a string and as a file, against Boost.PropertyTree's XML writer and reader and
// libplist's XML plist conversion on the same data.
#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <list>
#include <sstream>
#include <string>

#include "vireo/config/Errors.h"
#include "vireo/filesupport/File.h"
#include "vireo/proplist/PropList.h"
#include "vireo/proplist/PropListXML.h"
#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using vireo::proplist::PropList;
using vireo::utility::UTF16String;
using vireo::utility::UTF8String;

constexpr int kGroups = 1000;
constexpr int kValuesPerGroup = 99;

// One value of the data set, described once and built for each library.
struct Value {
  enum Kind { kString, kUString, kInt, kUInt64, kDouble, kBool, kDoubleArray, kIntArray } kind;
  std::string text;
  long long integer;
  double real;
};

Value MakeValue(int group, int index) {
  long long const n = static_cast<long long>(group) * 1000 + index;
  switch (index % 8) {
    case 0: return {Value::kString, "name & value " + std::to_string(n), 0, 0};
    case 1: return {Value::kUString, "caf\xC3\xA9 " + std::to_string(n), 0, 0};
    case 2: return {Value::kInt, "", n * 37 - 100000, 0};
    case 3: return {Value::kUInt64, "", n * 1234567891ll, 0};
    case 4: return {Value::kDouble, "", 0, n * 0.125 + 0.001};
    case 5: return {Value::kBool, "", n % 3, 0};
    case 6: return {Value::kDoubleArray, "", 0, n * 1.5};
    default: return {Value::kIntArray, "", n, 0};
  }
}

std::string Key(char const* prefix, int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%s%05d", prefix, n);
  return key;
}

UTF8String U8(std::string const& s) { return UTF8String(s.begin(), s.end()); }

// ---- vireo -----------------------------------------------------------------------------

class Silent : public vireo::config::ErrorManager {
 public:
  void ReportError(vireo::config::ErrorLevel, char const* key, unsigned long, long, bool,
                   vireo::config::ReplacementValue const&, vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&) const override {
    std::fprintf(stderr, "error raised: %s\n", key);
    std::abort();
  }
};

void Setup() {
  static bool done = [] {
    std::auto_ptr<vireo::xml::DocParserFactory> factory(new vireo::xml::MSXMLParserFactory);
    vireo::xml::SetParserFactory(factory);
    vireo::config::ErrorManager::Set(new Silent);
    return true;
  }();
  (void)done;
}

void BuildVireo(PropList& root) {
  for (int g = 0; g < kGroups; ++g) {
    PropList& list = *root.NewSubList(U8(Key("group", g)));
    for (int i = 0; i < kValuesPerGroup; ++i) {
      UTF8String const key = U8(Key("k", i));
      Value const v = MakeValue(g, i);
      switch (v.kind) {
        case Value::kString: list.SetValue(key, U8(v.text)); break;
        case Value::kUString: list.SetValue(key, vireo::utility::UTF8to16(U8(v.text))); break;
        case Value::kInt: list.SetValue(key, static_cast<long>(v.integer)); break;
        case Value::kUInt64: list.SetValue(key, static_cast<unsigned long long>(v.integer)); break;
        case Value::kDouble: list.SetValue(key, v.real); break;
        case Value::kBool: list.SetValue(key, v.integer != 0); break;
        case Value::kDoubleArray:
          list.SetValue(key, std::list<double>{v.real, v.real + 1, v.real + 2, v.real + 3});
          break;
        case Value::kIntArray:
          list.SetValue(key, std::list<long>{static_cast<long>(v.integer), 1, 2, 3});
          break;
      }
    }
  }
}

std::string TempPath(char const* name) {
  char const* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

void WriteFile(std::string const& path, char const* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}

std::string ReadFile(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Vireo_SaveString(benchmark::State& state) {
  Setup();
  PropList list;
  BuildVireo(list);
  UTF8String out;
  for (auto _ : state) {
    vireo::proplist::utils::WritePropList(out, list);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void Vireo_LoadString(benchmark::State& state) {
  Setup();
  PropList source;
  BuildVireo(source);
  UTF8String xml;
  vireo::proplist::utils::WritePropList(xml, source);
  for (auto _ : state) {
    PropList list;
    vireo::proplist::utils::ReadPropList(xml, list);
    benchmark::DoNotOptimize(&list);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}

// Saving to a file: the document written whole, as the file savers do.
void Vireo_SaveFile(benchmark::State& state) {
  Setup();
  PropList list;
  BuildVireo(list);
  std::string const path = TempPath("vireo-bench-proplist.xml");
  vireo::filesupport::File file(vireo::utility::UTF8to16(U8(path)));
  for (auto _ : state) vireo::proplist::utils::SavePropList(file, list);
  std::remove(path.c_str());
}

// The path form: text mode, every line feed written as CR LF.
void Vireo_SaveFileTextMode(benchmark::State& state) {
  Setup();
  PropList list;
  BuildVireo(list);
  std::string const path = TempPath("vireo-bench-proplist.xml");
  UTF16String const widePath = vireo::utility::UTF8to16(U8(path));
  for (auto _ : state) vireo::proplist::utils::SavePropList(widePath, list);
  std::remove(path.c_str());
}

void Vireo_LoadFile(benchmark::State& state) {
  Setup();
  PropList source;
  BuildVireo(source);
  UTF8String xml;
  vireo::proplist::utils::WritePropList(xml, source);
  std::string const path = TempPath("vireo-bench-proplist-in.xml");
  WriteFile(path, reinterpret_cast<char const*>(xml.data()), xml.size());
  UTF16String const widePath = vireo::utility::UTF8to16(U8(path));
  for (auto _ : state) {
    PropList list;
    vireo::proplist::utils::LoadPropList(widePath, list);
    benchmark::DoNotOptimize(&list);
  }
  std::remove(path.c_str());
}

// ---- Boost.PropertyTree ----------------------------------------------------------------

using boost::property_tree::ptree;

void BuildPtree(ptree& root) {
  for (int g = 0; g < kGroups; ++g) {
    ptree& list = root.add_child(Key("group", g), ptree());
    for (int i = 0; i < kValuesPerGroup; ++i) {
      std::string const key = Key("k", i);
      Value const v = MakeValue(g, i);
      switch (v.kind) {
        case Value::kString:
        case Value::kUString: list.add(key, v.text); break;
        case Value::kInt: list.add(key, static_cast<long>(v.integer)); break;
        case Value::kUInt64: list.add(key, static_cast<unsigned long long>(v.integer)); break;
        case Value::kDouble: list.add(key, v.real); break;
        case Value::kBool: list.add(key, v.integer != 0); break;
        case Value::kDoubleArray: {
          ptree& array = list.add_child(key, ptree());
          for (int k = 0; k < 4; ++k) array.add("v", v.real + k);
          break;
        }
        case Value::kIntArray: {
          ptree& array = list.add_child(key, ptree());
          array.add("v", static_cast<long>(v.integer));
          for (long k = 1; k < 4; ++k) array.add("v", k);
          break;
        }
      }
    }
  }
}

void BoostPT_SaveString(benchmark::State& state) {
  ptree tree;
  BuildPtree(tree);
  for (auto _ : state) {
    std::ostringstream out;
    boost::property_tree::write_xml(out, tree);
    benchmark::DoNotOptimize(out.str().data());
  }
}

void BoostPT_LoadString(benchmark::State& state) {
  ptree source;
  BuildPtree(source);
  std::ostringstream out;
  boost::property_tree::write_xml(out, source);
  std::string const xml = out.str();
  for (auto _ : state) {
    std::istringstream in(xml);
    ptree tree;
    boost::property_tree::read_xml(in, tree);
    benchmark::DoNotOptimize(&tree);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}

void BoostPT_SaveFile(benchmark::State& state) {
  ptree tree;
  BuildPtree(tree);
  std::string const path = TempPath("vireo-bench-ptree.xml");
  for (auto _ : state) boost::property_tree::write_xml(path, tree);
  std::remove(path.c_str());
}

void BoostPT_LoadFile(benchmark::State& state) {
  ptree source;
  BuildPtree(source);
  std::string const path = TempPath("vireo-bench-ptree-in.xml");
  boost::property_tree::write_xml(path, source);
  for (auto _ : state) {
    ptree tree;
    boost::property_tree::read_xml(path, tree);
    benchmark::DoNotOptimize(&tree);
  }
  std::remove(path.c_str());
}

// ---- libplist --------------------------------------------------------------------------

plist_t BuildPlist() {
  plist_t root = plist_new_dict();
  for (int g = 0; g < kGroups; ++g) {
    plist_t list = plist_new_dict();
    for (int i = 0; i < kValuesPerGroup; ++i) {
      std::string const key = Key("k", i);
      Value const v = MakeValue(g, i);
      plist_t item = nullptr;
      switch (v.kind) {
        case Value::kString:
        case Value::kUString: item = plist_new_string(v.text.c_str()); break;
        case Value::kInt:
        case Value::kUInt64: item = plist_new_uint(static_cast<uint64_t>(v.integer)); break;
        case Value::kDouble: item = plist_new_real(v.real); break;
        case Value::kBool: item = plist_new_bool(v.integer != 0); break;
        case Value::kDoubleArray:
          item = plist_new_array();
          for (int k = 0; k < 4; ++k) plist_array_append_item(item, plist_new_real(v.real + k));
          break;
        case Value::kIntArray:
          item = plist_new_array();
          plist_array_append_item(item, plist_new_uint(static_cast<uint64_t>(v.integer)));
          for (int k = 1; k < 4; ++k) plist_array_append_item(item, plist_new_uint(k));
          break;
      }
      plist_dict_set_item(list, key.c_str(), item);
    }
    plist_dict_set_item(root, Key("group", g).c_str(), list);
  }
  return root;
}

void Plist_SaveString(benchmark::State& state) {
  plist_t root = BuildPlist();
  for (auto _ : state) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    benchmark::DoNotOptimize(xml);
    plist_to_xml_free(xml);
  }
  plist_free(root);
}

void Plist_LoadString(benchmark::State& state) {
  plist_t source = BuildPlist();
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(source, &xml, &length);
  for (auto _ : state) {
    plist_t root = nullptr;
    plist_from_xml(xml, length, &root);
    if (!root) state.SkipWithError("libplist could not read its own document");
    plist_free(root);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * length));
  plist_to_xml_free(xml);
  plist_free(source);
}

void Plist_SaveFile(benchmark::State& state) {
  plist_t root = BuildPlist();
  std::string const path = TempPath("vireo-bench-plist.xml");
  for (auto _ : state) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    WriteFile(path, xml, length);
    plist_to_xml_free(xml);
  }
  std::remove(path.c_str());
  plist_free(root);
}

void Plist_LoadFile(benchmark::State& state) {
  plist_t source = BuildPlist();
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(source, &xml, &length);
  std::string const path = TempPath("vireo-bench-plist-in.xml");
  WriteFile(path, xml, length);
  plist_to_xml_free(xml);
  plist_free(source);
  for (auto _ : state) {
    std::string const text = ReadFile(path);
    plist_t root = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &root);
    plist_free(root);
  }
  std::remove(path.c_str());
}

}  // namespace

BENCHMARK(Vireo_SaveString)->Unit(benchmark::kMillisecond);
BENCHMARK(BoostPT_SaveString)->Unit(benchmark::kMillisecond);
BENCHMARK(Plist_SaveString)->Unit(benchmark::kMillisecond);
BENCHMARK(Vireo_LoadString)->Unit(benchmark::kMillisecond);
BENCHMARK(BoostPT_LoadString)->Unit(benchmark::kMillisecond);
BENCHMARK(Plist_LoadString)->Unit(benchmark::kMillisecond);
BENCHMARK(Vireo_SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(Vireo_SaveFileTextMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BoostPT_SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(Plist_SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(Vireo_LoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BoostPT_LoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(Plist_LoadFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
