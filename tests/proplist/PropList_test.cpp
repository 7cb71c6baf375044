// The property list data model: typed values, arrays, nested lists, order, removal.
#include "vireo/proplist/PropList.h"

#include <gtest/gtest.h>

#include <limits>
#include <list>
#include <string>

namespace vireo {
namespace proplist {
namespace {

using utility::UTF16String;
using utility::UTF8String;

UTF8String K(char const* s) { return UTF8String(reinterpret_cast<unsigned char const*>(s)); }
UTF16String W(char const* s) { return utility::AsciiToUTF16(s); }

// One sample value per type, with the property type it must report.
template <class T>
struct Sample;
#define VIREO_SAMPLE(T, value, other, type)          \
  template <>                                        \
  struct Sample<T> {                                 \
    static T Value() { return value; }               \
    static T Other() { return other; }               \
    static constexpr PropListPropertyType kType = type; \
  };
VIREO_SAMPLE(double, 0.25, -1e300, kPropTypeDouble)
VIREO_SAMPLE(float, 1.5f, -2.0f, kPropTypeFloat)
VIREO_SAMPLE(unsigned long long, 18446744073709551615ull, 7ull, kPropTypeUInt64)
VIREO_SAMPLE(long long, -9223372036854775807ll - 1, 5ll, kPropTypeInt64)
VIREO_SAMPLE(long, -2147483647l - 1, 3l, kPropTypeInt32)
VIREO_SAMPLE(unsigned long, 4294967295ul, 2ul, kPropTypeUInt32)
VIREO_SAMPLE(unsigned short, 65535, 1, kPropTypeUInt16)
VIREO_SAMPLE(bool, true, false, kPropTypeBool)
VIREO_SAMPLE(UTF8String, K("bytes \xC3\xA9"), K(""), kPropTypeString)
VIREO_SAMPLE(UTF16String, W("units"), W("x"), kPropTypeUnicodeString)
#undef VIREO_SAMPLE

template <class T>
class TypedTest : public ::testing::Test {};
typedef ::testing::Types<double, float, unsigned long long, long long, long, unsigned long,
                         unsigned short, bool, UTF8String, UTF16String>
    AllTypes;
TYPED_TEST_SUITE(TypedTest, AllTypes);

TYPED_TEST(TypedTest, ScalarAndArrayRoundTripAndReplaceInPlace) {
  typedef TypeParam T;
  PropList list;
  UTF8String const key = K("k");
  EXPECT_EQ(kPropTypeNone, list.GetPropertyType(key));
  T out = Sample<T>::Other();
  EXPECT_FALSE(list.GetValue(key, out));
  EXPECT_EQ(Sample<T>::Other(), out);  // untouched

  list.SetValue(key, Sample<T>::Value());
  EXPECT_EQ(Sample<T>::kType, list.GetPropertyType(key));
  ASSERT_TRUE(list.GetValue(key, out));
  EXPECT_EQ(Sample<T>::Value(), out);
  list.SetValue(key, Sample<T>::Other());
  ASSERT_TRUE(list.GetValue(key, out));
  EXPECT_EQ(Sample<T>::Other(), out);

  // A scalar is no array and an array no scalar.
  std::list<T> values{Sample<T>::Other()};
  EXPECT_FALSE(list.GetValue(key, values));
  EXPECT_EQ(1u, values.size());

  list.SetValue(key, std::list<T>{Sample<T>::Value(), Sample<T>::Other(), Sample<T>::Value()});
  EXPECT_EQ(static_cast<PropListPropertyType>(Sample<T>::kType + 11), list.GetPropertyType(key));
  EXPECT_FALSE(list.GetValue(key, out));
  ASSERT_TRUE(list.GetValue(key, values));  // appended after what was there
  EXPECT_EQ((std::list<T>{Sample<T>::Other(), Sample<T>::Value(), Sample<T>::Other(),
                          Sample<T>::Value()}),
            values);
  list.SetValue(key, std::list<T>{Sample<T>::Other()});  // the whole sequence is replaced
  values.clear();
  ASSERT_TRUE(list.GetValue(key, values));
  EXPECT_EQ(std::list<T>{Sample<T>::Other()}, values);
  list.SetValue(key, std::list<T>());
  EXPECT_EQ(static_cast<PropListPropertyType>(Sample<T>::kType + 11), list.GetPropertyType(key));
  values.clear();
  EXPECT_TRUE(list.GetValue(key, values));
  EXPECT_TRUE(values.empty());
}

TEST(PropListTest, NothingConvertsBetweenTypes) {
  PropList list;
  list.SetValue(K("f"), 1.5f);
  double d = 7;
  EXPECT_FALSE(list.GetValue(K("f"), d));
  EXPECT_EQ(7, d);
  EXPECT_EQ(kPropTypeFloat, list.GetPropertyType(K("f")));

  list.SetValue(K("s"), K("text"));
  list.SetValue(K("s"), 2.5);
  EXPECT_EQ(kPropTypeDouble, list.GetPropertyType(K("s")));
  UTF8String s;
  EXPECT_FALSE(list.GetValue(K("s"), s));
  EXPECT_TRUE(list.GetValue(K("s"), d));
  EXPECT_EQ(2.5, d);

  list.SetValue(K("i"), 5l);
  long long wide = 0;
  unsigned long narrowUnsigned = 0;
  EXPECT_FALSE(list.GetValue(K("i"), wide));
  EXPECT_FALSE(list.GetValue(K("i"), narrowUnsigned));
  EXPECT_EQ(nullptr, list.GetSubList(K("i")));
}

TEST(PropListTest, LongsKeepThirtyTwoBits) {
  PropList list;
  list.SetValue(K("l"), static_cast<long>(0x100000005ll));
  list.SetValue(K("u"), static_cast<unsigned long>(0x1FFFFFFFFull));
  list.SetValue(K("a"), std::list<long>{-1l, static_cast<long>(0x80000000ll)});
  long l = 0;
  unsigned long u = 0;
  std::list<long> a;
  ASSERT_TRUE(list.GetValue(K("l"), l));
  ASSERT_TRUE(list.GetValue(K("u"), u));
  ASSERT_TRUE(list.GetValue(K("a"), a));
  EXPECT_EQ(5, l);
  EXPECT_EQ(0xFFFFFFFFul, u);
  EXPECT_EQ((std::list<long>{-1l, -2147483647l - 1}), a);
}

TEST(PropListTest, KeysAreInByteOrder) {
  PropList list;
  for (char const* key : {"ab", "a", "b", "B", "\xC3\xA9", "", "a\x01"}) list.SetValue(K(key), true);
  std::list<UTF8String> names{K("kept")};
  list.GetPropertyNames(names);
  EXPECT_EQ((std::list<UTF8String>{K("kept"), K(""), K("B"), K("a"), K("a\x01"), K("ab"), K("b"),
                                   K("\xC3\xA9")}),
            names);
}

TEST(PropListTest, SubListsAreMadeOnceAndOwnedByTheirParent) {
  PropList list;
  EXPECT_EQ(nullptr, list.GetSubList(K("s")));
  list.SetValue(K("s"), 3.0);
  PropList* sub = list.NewSubList(K("s"));  // replaces the double
  ASSERT_NE(nullptr, sub);
  EXPECT_EQ(kPropTypePropList, list.GetPropertyType(K("s")));
  EXPECT_EQ(4, sub->GetVersion());
  sub->SetValue(K("inner"), true);
  EXPECT_EQ(sub, list.NewSubList(K("s")));
  EXPECT_EQ(sub, list.GetSubList(K("s")));
  bool b = false;
  EXPECT_TRUE(list.NewSubList(K("s"))->GetValue(K("inner"), b));
  EXPECT_TRUE(b);

  EXPECT_FALSE(list.IsEmpty());
  PropList holder;
  holder.NewSubList(K("empty"));
  EXPECT_FALSE(holder.IsEmpty());
  EXPECT_TRUE(holder.GetSubList(K("empty"))->IsEmpty());

  list.SetValue(K("s"), W("gone"));  // the nested list is destroyed
  EXPECT_EQ(nullptr, list.GetSubList(K("s")));
}

TEST(PropListTest, RemoveAndClear) {
  PropList list;
  list.SetValue(K("a"), 1.0);
  list.NewSubList(K("b"))->NewSubList(K("c"))->SetValue(K("d"), K("x"));
  list.SetVersion(3);
  EXPECT_TRUE(list.RemoveValue(K("a")));
  EXPECT_FALSE(list.RemoveValue(K("a")));
  EXPECT_EQ(kPropTypeNone, list.GetPropertyType(K("a")));
  EXPECT_FALSE(list.IsEmpty());
  list.Clear();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(3, list.GetVersion());
  EXPECT_EQ(4, PropList::GetCurrentVersion());
  std::list<UTF8String> names;
  list.GetPropertyNames(names);
  EXPECT_TRUE(names.empty());
}

TEST(PropListTest, NodesReportTheirTypes) {
  EXPECT_EQ(kPropTypeUnicodeString, UnicodeStringPropNode().GetType());
  EXPECT_EQ(kPropTypeString, StringPropNode().GetType());
  EXPECT_EQ(kPropTypeBool, BoolPropNode().GetType());
  EXPECT_EQ(kPropTypeUInt16, SimpleTypeArrayNode<unsigned short>().GetType());
  EXPECT_EQ(kPropTypeUInt32, SimpleTypeArrayNode<unsigned long>().GetType());
  EXPECT_EQ(kPropTypeInt32, SimpleTypeArrayNode<long>().GetType());
  EXPECT_EQ(kPropTypeInt64, SimpleTypeArrayNode<long long>().GetType());
  EXPECT_EQ(kPropTypeUInt64, SimpleTypeArrayNode<unsigned long long>().GetType());
  EXPECT_EQ(kPropTypeFloat, SimpleTypeArrayNode<float>().GetType());
  EXPECT_EQ(kPropTypeDouble, SimpleTypeArrayNode<double>().GetType());
  EXPECT_EQ(kPropTypePropList, PropListNode().GetType());
  EXPECT_EQ(kPropTypeUnicodeStringArray, PropListArrayNode<UnicodeStringPropNode*>().GetType());
  EXPECT_EQ(kPropTypeStringArray, PropListArrayNode<StringPropNode*>().GetType());
  EXPECT_EQ(kPropTypeBoolArray, PropListArrayNode<BoolPropNode*>().GetType());
  EXPECT_EQ(kPropTypeUInt16Array, PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>().GetType());
  EXPECT_EQ(kPropTypeUInt32Array, PropListArrayNode<SimpleTypeArrayNode<unsigned long>*>().GetType());
  EXPECT_EQ(kPropTypeInt32Array, PropListArrayNode<SimpleTypeArrayNode<long>*>().GetType());
  EXPECT_EQ(kPropTypeInt64Array, PropListArrayNode<SimpleTypeArrayNode<long long>*>().GetType());
  EXPECT_EQ(kPropTypeUInt64Array,
            PropListArrayNode<SimpleTypeArrayNode<unsigned long long>*>().GetType());
  EXPECT_EQ(kPropTypeFloatArray, PropListArrayNode<SimpleTypeArrayNode<float>*>().GetType());
  EXPECT_EQ(kPropTypeDoubleArray, PropListArrayNode<SimpleTypeArrayNode<double>*>().GetType());

  PropListArrayNode<BoolPropNode*> array(std::list<bool>{true, false});
  array.Append(true);
  ASSERT_EQ(3u, array.Elements().size());
  EXPECT_FALSE(array.Elements()[1]->GetValue());
  EXPECT_TRUE(array.Elements()[2]->GetValue());
}

// A chain 100 000 lists deep is built, written, replaced and destroyed without a stack
// frame per level.
TEST(PropListTest, DeepNestingUsesNoStackPerLevel) {
  int const depth = 100000;
  auto build = [&](PropList& root) {
    PropList* list = &root;
    for (int i = 0; i < depth; ++i) list = list->NewSubList(K("n"));
    list->SetValue(K("leaf"), true);
  };
  {
    PropList root;
    build(root);
    UTF8String xml;
    root.OutputAsXMLFragment(xml);
    EXPECT_EQ(std::size_t(depth) * 2 + 1, [&] {
      std::size_t lists = 0;
      for (std::size_t at = xml.find(K("<prop.list>")); at != UTF8String::npos;
           at = xml.find(K("<prop.list>"), at + 1))
        ++lists;
      return lists * 2 - 1;
    }());
    root.Clear();
    build(root);
    root.SetValue(K("n"), 1.0);  // replacing the chain destroys it
    build(root);
    EXPECT_TRUE(root.RemoveValue(K("n")));
    build(root);
  }  // and so does the destructor
}

}  // namespace
}  // namespace proplist
}  // namespace vireo
