// Helpers for property-list tests: literals, deep comparison, random lists.
#ifndef VIREO_TESTS_PROPLIST_PROPLISTTESTING_H
#define VIREO_TESTS_PROPLIST_PROPLISTTESTING_H

#include <cstdio>
#include <cstdlib>
#include <list>
#include <random>
#include <string>

#include "vireo/proplist/PropList.h"

namespace vireo {
namespace testing {

inline utility::UTF8String K(char const* s) {
  return utility::UTF8String(reinterpret_cast<unsigned char const*>(s));
}
inline utility::UTF8String K(std::string const& s) { return utility::UTF8String(s.begin(), s.end()); }
inline utility::UTF16String W(char const* s) { return utility::UTF8to16(K(s)); }
inline std::string S(utility::UTF8String const& s) { return std::string(s.begin(), s.end()); }

// What a floating value reads back as after a save: six significant digits.
template <class T>
T SixDigits(T value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  if (sizeof(T) == sizeof(float)) return static_cast<T>(std::strtof(text, nullptr));
  return static_cast<T>(std::strtod(text, nullptr));
}

// Compares `a` and `b` key by key; with `saved`, floating values of `a` are taken as they
// read back after a save. The first difference is described in `why`.
inline bool SameList(proplist::PropList& a, proplist::PropList& b, bool saved, std::string& why);

namespace impl {
template <class T>
bool SameValue(T const& a, T const& b, bool) { return a == b; }
inline bool SameValue(float a, float b, bool saved) { return (saved ? SixDigits(a) : a) == b; }
inline bool SameValue(double a, double b, bool saved) { return (saved ? SixDigits(a) : a) == b; }

template <class T>
bool Same(proplist::PropList& a, proplist::PropList& b, utility::UTF8String const& key, bool saved) {
  T x{}, y{};
  std::list<T> xs, ys;
  if (a.GetValue(key, x)) return b.GetValue(key, y) && SameValue(x, y, saved);
  if (!a.GetValue(key, xs) || !b.GetValue(key, ys) || xs.size() != ys.size()) return false;
  for (auto i = xs.begin(), j = ys.begin(); i != xs.end(); ++i, ++j)
    if (!SameValue(*i, *j, saved)) return false;
  return true;
}
}  // namespace impl

inline bool SameList(proplist::PropList& a, proplist::PropList& b, bool saved, std::string& why) {
  std::list<utility::UTF8String> ka, kb;
  a.GetPropertyNames(ka);
  b.GetPropertyNames(kb);
  if (ka != kb) {
    why = "keys differ";
    return false;
  }
  for (auto const& key : ka) {
    proplist::PropListPropertyType const type = a.GetPropertyType(key);
    if (type != b.GetPropertyType(key)) {
      why = "type of " + S(key);
      return false;
    }
    bool same;
    switch (type <= 10 ? type : type > 11 ? type - 11 : type) {
      case 1: same = impl::Same<utility::UTF16String>(a, b, key, saved); break;
      case 2: same = impl::Same<utility::UTF8String>(a, b, key, saved); break;
      case 3: same = impl::Same<bool>(a, b, key, saved); break;
      case 4: same = impl::Same<unsigned short>(a, b, key, saved); break;
      case 5: same = impl::Same<unsigned long>(a, b, key, saved); break;
      case 6: same = impl::Same<long>(a, b, key, saved); break;
      case 7: same = impl::Same<long long>(a, b, key, saved); break;
      case 8: same = impl::Same<unsigned long long>(a, b, key, saved); break;
      case 9: same = impl::Same<float>(a, b, key, saved); break;
      case 10: same = impl::Same<double>(a, b, key, saved); break;
      default:
        same = SameList(*a.GetSubList(key), *b.GetSubList(key), saved, why);
        if (!same) why = S(key) + "/" + why;
        if (!same) return false;
    }
    if (!same) {
      why = "value of " + S(key);
      return false;
    }
  }
  return true;
}

// Random property lists: every type, arrays, lists nested to a given depth. Texts use
// characters that an XML document can carry (no control characters, no carriage return:
// XML reads it as a line feed) including the reserved ones and characters above U+FFFF.
class RandomLists {
 public:
  explicit RandomLists(unsigned seed) : rng_(seed) {}

  void Fill(proplist::PropList& list, int depth, int keys) {
    for (int i = 0; i < keys; ++i) {
      utility::UTF8String const key = Text(12);
      int const type = Below(depth > 0 ? 21 : 20) + 1;
      Set(list, key, type == 21 ? 11 : type >= 11 ? type + 1 : type, depth);
    }
  }

  utility::UTF8String Text(int maxLength) {
    static char const* const kPieces[] = {"a", "Z", "0", " ", "\n", "\t", "<", ">", "&", "'",
                                          "\"", "&amp;", "\xC3\xA9", "\xE2\x82\xAC",
                                          "\xF0\x9F\x98\x80", "]]>", "x", "y"};
    utility::UTF8String text;
    int const length = Below(maxLength + 1);
    for (int i = 0; i < length; ++i) text += K(kPieces[Below(sizeof kPieces / sizeof *kPieces)]);
    return text;
  }

  int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

 private:
  template <class T>
  T Number() {
    std::uniform_int_distribution<unsigned long long> bits;
    unsigned long long const raw = bits(rng_);
    switch (Below(3)) {
      case 0: return static_cast<T>(raw);
      case 1: return static_cast<T>(Below(100)) - static_cast<T>(Below(2) * 50);
      default: return static_cast<T>(Below(2) ? ~0ull : 0ull);
    }
  }
  template <class T>
  T Floating() {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    static double const kScales[] = {1, 1e-30, 1e-5, 1e3, 1e6, 1e20, 1e300};
    return static_cast<T>(unit(rng_) * kScales[Below(sizeof kScales / sizeof *kScales - (sizeof(T) == 4))]);
  }
  template <class T, class Make>
  std::list<T> Several(Make make) {
    std::list<T> values;
    int const n = Below(5);
    for (int i = 0; i < n; ++i) values.push_back(make());
    return values;
  }

  void Set(proplist::PropList& list, utility::UTF8String const& key, int type, int depth) {
    auto u16 = [&] { return utility::UTF8to16(Text(10)); };
    auto u8 = [&] { return Text(10); };
    auto flag = [&] { return Below(2) == 1; };
    switch (type) {
      case 1: list.SetValue(key, u16()); break;
      case 2: list.SetValue(key, u8()); break;
      case 3: list.SetValue(key, flag()); break;
      case 4: list.SetValue(key, Number<unsigned short>()); break;
      case 5: list.SetValue(key, static_cast<unsigned long>(Number<std::uint32_t>())); break;
      case 6: list.SetValue(key, static_cast<long>(Number<std::int32_t>())); break;
      case 7: list.SetValue(key, Number<long long>()); break;
      case 8: list.SetValue(key, Number<unsigned long long>()); break;
      case 9: list.SetValue(key, Floating<float>()); break;
      case 10: list.SetValue(key, Floating<double>()); break;
      case 11: Fill(*list.NewSubList(key), depth - 1, Below(4)); break;
      case 12: list.SetValue(key, Several<utility::UTF16String>(u16)); break;
      case 13: list.SetValue(key, Several<utility::UTF8String>(u8)); break;
      case 14: list.SetValue(key, Several<bool>(flag)); break;
      case 15: list.SetValue(key, Several<unsigned short>([&] { return Number<unsigned short>(); })); break;
      case 16: list.SetValue(key, Several<unsigned long>([&] { return static_cast<unsigned long>(Number<std::uint32_t>()); })); break;
      case 17: list.SetValue(key, Several<long>([&] { return static_cast<long>(Number<std::int32_t>()); })); break;
      case 18: list.SetValue(key, Several<long long>([&] { return Number<long long>(); })); break;
      case 19: list.SetValue(key, Several<unsigned long long>([&] { return Number<unsigned long long>(); })); break;
      case 20: list.SetValue(key, Several<float>([&] { return Floating<float>(); })); break;
      default: list.SetValue(key, Several<double>([&] { return Floating<double>(); })); break;
    }
  }

  std::mt19937_64 rng_;
};

}  // namespace testing
}  // namespace vireo

#endif
