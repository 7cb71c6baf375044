// PropList: a typed key-value tree. Each UTF-8 key holds one value of one of 21 types
// (two string kinds, bool, five integer kinds, two floating kinds, a nested list, or an
// array of one of the ten simple kinds). A value is read back only as the type it was
// stored with; nothing converts between types.
#ifndef VIREO_PROPLIST_PROPLIST_H
#define VIREO_PROPLIST_PROPLIST_H

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "vireo/Export.h"
#include "vireo/utility/SmallBlockAllocator.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace proplist {

// What a key holds; the numbers are fixed (callers compare GetPropertyType with them).
enum PropListPropertyType {
  kPropTypeNone = 0,  // the key is absent
  kPropTypeUnicodeString = 1,
  kPropTypeString = 2,
  kPropTypeBool = 3,
  kPropTypeUInt16 = 4,
  kPropTypeUInt32 = 5,
  kPropTypeInt32 = 6,
  kPropTypeInt64 = 7,
  kPropTypeUInt64 = 8,
  kPropTypeFloat = 9,
  kPropTypeDouble = 10,
  kPropTypePropList = 11,
  kPropTypeUnicodeStringArray = 12,
  kPropTypeStringArray = 13,
  kPropTypeBoolArray = 14,
  kPropTypeUInt16Array = 15,
  kPropTypeUInt32Array = 16,
  kPropTypeInt32Array = 17,
  kPropTypeInt64Array = 18,
  kPropTypeUInt64Array = 19,
  kPropTypeFloatArray = 20,
  kPropTypeDoubleArray = 21
};

class PropList;

// A value held under a key. Owned by its list (or by its array node).
class VIREO_API PropNodeBase {
 public:
  PropNodeBase() = default;
  PropNodeBase(PropNodeBase const&) = delete;
  PropNodeBase& operator=(PropNodeBase const&) = delete;
  virtual ~PropNodeBase();
  // Appends the node's form in the property-list XML format.
  virtual void OutputAsXML(utility::UTF8String& out) const = 0;
  virtual PropListPropertyType GetType() const = 0;
};

namespace impl {
// A node holding one value of type T, reported as property type `Type`.
template <class T, PropListPropertyType Type>
class VIREO_API ValueNode : public PropNodeBase {
 public:
  typedef T value_type;
  static constexpr PropListPropertyType kType = Type;
  explicit ValueNode(T const& inValue = T()) : value_(inValue) {}
  PropListPropertyType GetType() const override { return Type; }
  T const& GetValue() const { return value_; }
  void SetValue(T const& inValue) { value_ = inValue; }

 protected:
  T value_;
};
}  // namespace impl

// One UTF-16 string (type 1).
class VIREO_API UnicodeStringPropNode
    : public impl::ValueNode<utility::UTF16String, kPropTypeUnicodeString> {
 public:
  using ValueNode::ValueNode;
  ~UnicodeStringPropNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
};

// One 8-bit string (type 2).
class VIREO_API StringPropNode : public impl::ValueNode<utility::UTF8String, kPropTypeString> {
 public:
  using ValueNode::ValueNode;
  ~StringPropNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
};

// One bool (type 3).
class VIREO_API BoolPropNode : public impl::ValueNode<bool, kPropTypeBool> {
 public:
  using ValueNode::ValueNode;
  ~BoolPropNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
};

namespace impl {
// The property type of each simple number type, and how it is stored. `long` and
// `unsigned long` are 32-bit values in lists and documents (the format writes them with
// size='32'); on this platform the C++ types are wider, so they are narrowed when stored.
template <class T> struct NumberTraits;
template <> struct NumberTraits<unsigned short> {
  typedef unsigned short stored_type;
  static constexpr PropListPropertyType kType = kPropTypeUInt16;
};
template <> struct NumberTraits<unsigned long> {
  typedef std::uint32_t stored_type;
  static constexpr PropListPropertyType kType = kPropTypeUInt32;
};
template <> struct NumberTraits<long> {
  typedef std::int32_t stored_type;
  static constexpr PropListPropertyType kType = kPropTypeInt32;
};
template <> struct NumberTraits<long long> {
  typedef long long stored_type;
  static constexpr PropListPropertyType kType = kPropTypeInt64;
};
template <> struct NumberTraits<unsigned long long> {
  typedef unsigned long long stored_type;
  static constexpr PropListPropertyType kType = kPropTypeUInt64;
};
template <> struct NumberTraits<float> {
  typedef float stored_type;
  static constexpr PropListPropertyType kType = kPropTypeFloat;
};
template <> struct NumberTraits<double> {
  typedef double stored_type;
  static constexpr PropListPropertyType kType = kPropTypeDouble;
};
}  // namespace impl

// One number (types 4 to 10) despite the name; arrays are PropListArrayNode. Instantiated
// for unsigned short, unsigned long, long, long long, unsigned long long, float and double.
template <class T>
class VIREO_API SimpleTypeArrayNode : public PropNodeBase {
 public:
  typedef T value_type;
  static constexpr PropListPropertyType kType = impl::NumberTraits<T>::kType;
  explicit SimpleTypeArrayNode(T inValue = T());
  ~SimpleTypeArrayNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
  PropListPropertyType GetType() const override;
  T GetValue() const { return static_cast<T>(value_); }
  void SetValue(T inValue) { value_ = static_cast<typename impl::NumberTraits<T>::stored_type>(inValue); }

 private:
  typename impl::NumberTraits<T>::stored_type value_;
};

extern template class SimpleTypeArrayNode<unsigned short>;
extern template class SimpleTypeArrayNode<unsigned long>;
extern template class SimpleTypeArrayNode<long>;
extern template class SimpleTypeArrayNode<long long>;
extern template class SimpleTypeArrayNode<unsigned long long>;
extern template class SimpleTypeArrayNode<float>;
extern template class SimpleTypeArrayNode<double>;

// A nested list (type 11), owned by the node.
class VIREO_API PropListNode : public PropNodeBase {
 public:
  static constexpr PropListPropertyType kType = kPropTypePropList;
  PropListNode();
  ~PropListNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
  PropListPropertyType GetType() const override;
  PropList& GetList() { return *list_; }
  PropList const& GetList() const { return *list_; }

 private:
  std::unique_ptr<PropList> list_;
};

// An array (types 12 to 21): owned element nodes of one class, in insertion order.
// `ElementPtr` is a pointer to UnicodeStringPropNode, StringPropNode, BoolPropNode or a
// SimpleTypeArrayNode.
template <class ElementPtr>
class VIREO_API PropListArrayNode : public PropNodeBase {
 public:
  typedef typename std::remove_pointer<ElementPtr>::type element_type;
  typedef typename element_type::value_type value_type;
  static constexpr PropListPropertyType kType =
      static_cast<PropListPropertyType>(element_type::kType + 11);

  PropListArrayNode();
  explicit PropListArrayNode(std::list<value_type> const& inValues);
  ~PropListArrayNode() override;
  void OutputAsXML(utility::UTF8String& out) const override;
  PropListPropertyType GetType() const override;

  // Replaces every element by new ones made from `inValues`.
  void SetValue(std::list<value_type> const& inValues);
  // Appends the elements' values to `ioValues`.
  void AppendValuesTo(std::list<value_type>& ioValues) const;
  void Append(value_type const& inValue);
  std::vector<ElementPtr> const& Elements() const { return elements_; }

 private:
  void DeleteElements();
  std::vector<ElementPtr> elements_;
};

extern template class PropListArrayNode<UnicodeStringPropNode*>;
extern template class PropListArrayNode<StringPropNode*>;
extern template class PropListArrayNode<BoolPropNode*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<unsigned long>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<long>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<long long>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<unsigned long long>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<float>*>;
extern template class PropListArrayNode<SimpleTypeArrayNode<double>*>;

// The list: keys in unsigned byte order (a key sorts before its extensions), each owning one
// node. Used by one thread at a time. Pointers from GetSubList and NewSubList stay valid
// until their key is removed or replaced, or the list is cleared or destroyed. Lists nest
// to any depth: destroying or writing a deep tree takes no stack per level.
class VIREO_API PropList {
 public:
  typedef utility::UTF8String const& Key;
  typedef utility::UTF8String UTF8String;
  typedef utility::UTF16String UTF16String;

  PropList();
  PropList(PropList const&) = delete;
  PropList& operator=(PropList const&) = delete;
  virtual ~PropList();

  // False, with the output untouched, when the key is absent or holds another type. The
  // list forms append the array's elements to the end of the given list.
  virtual bool GetValue(Key inKey, std::list<double>& outValue) const;
  virtual bool GetValue(Key inKey, double& outValue) const;
  virtual bool GetValue(Key inKey, std::list<float>& outValue) const;
  virtual bool GetValue(Key inKey, float& outValue) const;
  virtual bool GetValue(Key inKey, std::list<unsigned long long>& outValue) const;
  virtual bool GetValue(Key inKey, unsigned long long& outValue) const;
  virtual bool GetValue(Key inKey, std::list<long long>& outValue) const;
  virtual bool GetValue(Key inKey, long long& outValue) const;
  virtual bool GetValue(Key inKey, std::list<long>& outValue) const;
  virtual bool GetValue(Key inKey, long& outValue) const;
  virtual bool GetValue(Key inKey, std::list<unsigned long>& outValue) const;
  virtual bool GetValue(Key inKey, unsigned long& outValue) const;
  virtual bool GetValue(Key inKey, std::list<unsigned short>& outValue) const;
  virtual bool GetValue(Key inKey, unsigned short& outValue) const;
  virtual bool GetValue(Key inKey, std::list<bool>& outValue) const;
  virtual bool GetValue(Key inKey, bool& outValue) const;
  virtual bool GetValue(Key inKey, std::list<UTF8String>& outValue) const;
  virtual bool GetValue(Key inKey, UTF8String& outValue) const;
  virtual bool GetValue(Key inKey, std::list<UTF16String>& outValue) const;
  virtual bool GetValue(Key inKey, UTF16String& outValue) const;

  // Replaces the value in place when the key holds the same type; otherwise stores a new
  // node, destroying whatever the key held. `long` and `unsigned long` keep 32 bits.
  virtual void SetValue(Key inKey, std::list<double> const& inValue);
  virtual void SetValue(Key inKey, double const& inValue);
  virtual void SetValue(Key inKey, std::list<float> const& inValue);
  virtual void SetValue(Key inKey, float const& inValue);
  virtual void SetValue(Key inKey, std::list<unsigned long long> const& inValue);
  virtual void SetValue(Key inKey, unsigned long long const& inValue);
  virtual void SetValue(Key inKey, std::list<long long> const& inValue);
  virtual void SetValue(Key inKey, long long const& inValue);
  virtual void SetValue(Key inKey, std::list<long> const& inValue);
  virtual void SetValue(Key inKey, long const& inValue);
  virtual void SetValue(Key inKey, std::list<unsigned long> const& inValue);
  virtual void SetValue(Key inKey, unsigned long const& inValue);
  virtual void SetValue(Key inKey, std::list<unsigned short> const& inValue);
  virtual void SetValue(Key inKey, unsigned short const& inValue);
  virtual void SetValue(Key inKey, std::list<bool> const& inValue);
  virtual void SetValue(Key inKey, bool const& inValue);
  virtual void SetValue(Key inKey, std::list<UTF8String> const& inValue);
  virtual void SetValue(Key inKey, UTF8String const& inValue);
  virtual void SetValue(Key inKey, std::list<UTF16String> const& inValue);
  virtual void SetValue(Key inKey, UTF16String const& inValue);

  // The nested list under the key, or null when the key is absent or holds another type.
  virtual PropList* GetSubList(Key inKey) const;
  // The nested list under the key, made (empty, version 4) when the key holds none.
  virtual PropList* NewSubList(Key inKey);
  // Destroys every node; the version stays.
  virtual void Clear();
  // Appends "<prop.list>\n", one pair per key in key order, and "</prop.list>\n".
  virtual void OutputAsXMLFragment(UTF8String& out) const;
  // Appends every key, in order.
  virtual void GetPropertyNames(std::list<UTF8String>& outNames) const;
  // What the key holds; kPropTypeNone when it is absent.
  virtual PropListPropertyType GetPropertyType(Key inKey);

  // Destroys the key's node; false when the key was absent.
  bool RemoveValue(Key inKey);
  bool IsEmpty() const { return nodes_.empty(); }
  unsigned short GetVersion() const { return version_; }
  // Set by the XML reader to the version of the document it read.
  void SetVersion(unsigned short inVersion) { version_ = inVersion; }
  static unsigned short GetCurrentVersion() { return 4; }

 private:
  typedef std::map<UTF8String, PropNodeBase*, std::less<UTF8String>,
                   utility::SmallBlockAllocator::STLAllocator<
                       std::pair<UTF8String const, PropNodeBase*> > >
      NodeMap;

  template <class Node>
  Node const* Find(Key inKey) const;
  template <class Node, class Value>
  void Store(Key inKey, Value const& inValue);
  template <class Node, class Value>
  bool Read(Key inKey, Value& outValue) const;
  template <class Node, class Value>
  bool ReadList(Key inKey, std::list<Value>& outValues) const;
  static void Dispose(PropNodeBase* inNode);
  void DisposeAll();

  unsigned short version_;
  NodeMap nodes_;
};

}  // namespace proplist
}  // namespace vireo

#endif
