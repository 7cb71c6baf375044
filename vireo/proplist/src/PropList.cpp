// The property list: typed nodes under byte-ordered keys.
#include "vireo/proplist/PropList.h"

#include "vireo/proplist/src/XMLText.h"
#include "vireo/xml/XMLUtils.h"

namespace vireo {
namespace proplist {

using utility::UTF16String;
using utility::UTF8String;

namespace {
typedef PropListArrayNode<UnicodeStringPropNode*> UnicodeStringArrayNode;
typedef PropListArrayNode<StringPropNode*> StringArrayNode;
typedef PropListArrayNode<BoolPropNode*> BoolArrayNode;
template <class T>
using NumberArrayNode = PropListArrayNode<SimpleTypeArrayNode<T>*>;
}  // namespace

PropList::PropList() : version_(GetCurrentVersion()) {}

PropList::~PropList() { DisposeAll(); }

// Nested lists are taken apart level by level into one work list, so that destroying a tree
// of any depth uses no stack per level.
void PropList::Dispose(PropNodeBase* inNode) {
  if (inNode->GetType() != kPropTypePropList) {
    delete inNode;
    return;
  }
  std::vector<PropNodeBase*> pending(1, inNode);
  while (!pending.empty()) {
    PropNodeBase* const node = pending.back();
    pending.pop_back();
    if (node->GetType() == kPropTypePropList) {
      NodeMap& nested = static_cast<PropListNode*>(node)->GetList().nodes_;
      for (auto& entry : nested) pending.push_back(entry.second);
      nested.clear();
    }
    delete node;
  }
}

void PropList::DisposeAll() {
  NodeMap nodes;
  nodes.swap(nodes_);
  for (auto& entry : nodes) Dispose(entry.second);
}

template <class Node>
Node const* PropList::Find(Key inKey) const {
  auto const found = nodes_.find(inKey);
  if (found == nodes_.end() || found->second->GetType() != Node::kType) return nullptr;
  return static_cast<Node const*>(found->second);
}

template <class Node, class Value>
bool PropList::Read(Key inKey, Value& outValue) const {
  Node const* const node = Find<Node>(inKey);
  if (!node) return false;
  outValue = node->GetValue();
  return true;
}

template <class Node, class Value>
bool PropList::ReadList(Key inKey, std::list<Value>& outValues) const {
  Node const* const node = Find<Node>(inKey);
  if (!node) return false;
  node->AppendValuesTo(outValues);
  return true;
}

template <class Node, class Value>
void PropList::Store(Key inKey, Value const& inValue) {
  auto const at = nodes_.lower_bound(inKey);
  if (at != nodes_.end() && at->first == inKey) {
    if (at->second->GetType() == Node::kType) {
      static_cast<Node*>(at->second)->SetValue(inValue);
      return;
    }
    PropNodeBase* const old = at->second;
    at->second = new Node(inValue);
    Dispose(old);
    return;
  }
  std::unique_ptr<Node> node(new Node(inValue));
  nodes_.emplace_hint(at, inKey, node.get());
  node.release();
}

// Getters and setters, one pair per type, in the order of the virtual table.
#define VIREO_PROPLIST_ACCESSORS(Type, ListNode, ValueNode)                           \
  bool PropList::GetValue(Key inKey, std::list<Type>& outValue) const {               \
    return ReadList<ListNode>(inKey, outValue);                                       \
  }                                                                                   \
  bool PropList::GetValue(Key inKey, Type& outValue) const {                          \
    return Read<ValueNode>(inKey, outValue);                                          \
  }                                                                                   \
  void PropList::SetValue(Key inKey, std::list<Type> const& inValue) {                \
    Store<ListNode>(inKey, inValue);                                                  \
  }                                                                                   \
  void PropList::SetValue(Key inKey, Type const& inValue) { Store<ValueNode>(inKey, inValue); }

VIREO_PROPLIST_ACCESSORS(double, NumberArrayNode<double>, SimpleTypeArrayNode<double>)
VIREO_PROPLIST_ACCESSORS(float, NumberArrayNode<float>, SimpleTypeArrayNode<float>)
VIREO_PROPLIST_ACCESSORS(unsigned long long, NumberArrayNode<unsigned long long>,
                         SimpleTypeArrayNode<unsigned long long>)
VIREO_PROPLIST_ACCESSORS(long long, NumberArrayNode<long long>, SimpleTypeArrayNode<long long>)
VIREO_PROPLIST_ACCESSORS(long, NumberArrayNode<long>, SimpleTypeArrayNode<long>)
VIREO_PROPLIST_ACCESSORS(unsigned long, NumberArrayNode<unsigned long>,
                         SimpleTypeArrayNode<unsigned long>)
VIREO_PROPLIST_ACCESSORS(unsigned short, NumberArrayNode<unsigned short>,
                         SimpleTypeArrayNode<unsigned short>)
VIREO_PROPLIST_ACCESSORS(bool, BoolArrayNode, BoolPropNode)
VIREO_PROPLIST_ACCESSORS(UTF8String, StringArrayNode, StringPropNode)
VIREO_PROPLIST_ACCESSORS(UTF16String, UnicodeStringArrayNode, UnicodeStringPropNode)

#undef VIREO_PROPLIST_ACCESSORS

PropList* PropList::GetSubList(Key inKey) const {
  PropListNode const* const node = Find<PropListNode>(inKey);
  return node ? const_cast<PropList*>(&node->GetList()) : nullptr;
}

PropList* PropList::NewSubList(Key inKey) {
  auto const at = nodes_.lower_bound(inKey);
  bool const present = at != nodes_.end() && at->first == inKey;
  if (present && at->second->GetType() == kPropTypePropList)
    return &static_cast<PropListNode*>(at->second)->GetList();
  std::unique_ptr<PropListNode> node(new PropListNode);
  PropList* const list = &node->GetList();
  if (present) {
    PropNodeBase* const old = at->second;
    at->second = node.release();
    Dispose(old);
  } else {
    nodes_.emplace_hint(at, inKey, node.get());
    node.release();
  }
  return list;
}

void PropList::Clear() { DisposeAll(); }

bool PropList::RemoveValue(Key inKey) {
  auto const found = nodes_.find(inKey);
  if (found == nodes_.end()) return false;
  PropNodeBase* const node = found->second;
  nodes_.erase(found);
  Dispose(node);
  return true;
}

void PropList::GetPropertyNames(std::list<UTF8String>& outNames) const {
  for (auto const& entry : nodes_) outNames.push_back(entry.first);
}

PropListPropertyType PropList::GetPropertyType(Key inKey) {
  auto const found = nodes_.find(inKey);
  return found == nodes_.end() ? kPropTypeNone : found->second->GetType();
}

// Nested lists are written from an explicit stack of open lists, so a tree of any depth is
// written without a stack frame per level.
void PropList::OutputAsXMLFragment(UTF8String& out) const {
  struct Frame {
    NodeMap::const_iterator next;
    NodeMap::const_iterator end;
  };
  std::vector<Frame> open;
  impl::Put(out, "<prop.list>\n");
  open.push_back(Frame{nodes_.begin(), nodes_.end()});
  while (!open.empty()) {
    Frame& top = open.back();
    if (top.next == top.end) {
      impl::Put(out, "</prop.list>\n");
      open.pop_back();
      if (!open.empty()) impl::Put(out, "</prop.pair>\n");
      continue;
    }
    auto const& entry = *top.next++;
    impl::Put(out, "<prop.pair>\n<key>");
    xml::utils::EncodeReservedCharacters(entry.first, out);
    impl::Put(out, "</key>\n");
    if (entry.second->GetType() == kPropTypePropList) {
      NodeMap const& nested = static_cast<PropListNode const*>(entry.second)->GetList().nodes_;
      impl::Put(out, "<prop.list>\n");
      open.push_back(Frame{nested.begin(), nested.end()});
      continue;
    }
    entry.second->OutputAsXML(out);
    impl::Put(out, "</prop.pair>\n");
  }
}

}  // namespace proplist
}  // namespace vireo
