// The node classes and their forms in the property-list XML format.
#include "vireo/proplist/PropList.h"

#include "vireo/proplist/src/Numbers.h"
#include "vireo/proplist/src/XMLText.h"
#include "vireo/xml/XMLUtils.h"

namespace vireo {
namespace proplist {

using utility::UTF16String;
using utility::UTF8String;
using impl::Put;

namespace {

// The opening and closing tags of a number node, and the empty tag naming it as an
// array's element type.
struct NumberTags {
  char const* open;
  std::size_t openLength;
  char const* close;
  std::size_t closeLength;
  char const* empty;
  std::size_t emptyLength;
};

#define VIREO_TAGS(open, close, empty) \
  NumberTags { open, sizeof(open) - 1, close, sizeof(close) - 1, empty, sizeof(empty) - 1 }

template <class T> NumberTags Tags();
template <> NumberTags Tags<unsigned short>() {
  return VIREO_TAGS("<int type='unsigned' size='16'>", "</int>\n", "<int type='unsigned' size='16'/>");
}
template <> NumberTags Tags<unsigned long>() {
  return VIREO_TAGS("<int type='unsigned' size='32'>", "</int>\n", "<int type='unsigned' size='32'/>");
}
template <> NumberTags Tags<long>() {
  return VIREO_TAGS("<int type='signed' size='32'>", "</int>\n", "<int type='signed' size='32'/>");
}
template <> NumberTags Tags<long long>() {
  return VIREO_TAGS("<int type='signed' size='64'>", "</int>\n", "<int type='signed' size='64'/>");
}
template <> NumberTags Tags<unsigned long long>() {
  return VIREO_TAGS("<int type='unsigned' size='64'>", "</int>\n", "<int type='unsigned' size='64'/>");
}
template <> NumberTags Tags<float>() { return VIREO_TAGS("<float>", "</float>\n", "<float/>"); }
template <> NumberTags Tags<double>() { return VIREO_TAGS("<double>", "</double>\n", "<double/>"); }

#undef VIREO_TAGS

void Append(UTF8String& out, char const* text, std::size_t length) {
  out.append(reinterpret_cast<unsigned char const*>(text), length);
}

// The empty tag naming an array's element type.
template <class Element> void PutElementTag(UTF8String& out);
template <> void PutElementTag<UnicodeStringPropNode>(UTF8String& out) { Put(out, "<ustring/>"); }
template <> void PutElementTag<StringPropNode>(UTF8String& out) { Put(out, "<string/>"); }
template <> void PutElementTag<BoolPropNode>(UTF8String& out) { Put(out, "<bool/>"); }
template <class T>
void PutNumberElementTag(UTF8String& out) {
  NumberTags const tags = Tags<T>();
  Append(out, tags.empty, tags.emptyLength);
}
template <> void PutElementTag<SimpleTypeArrayNode<unsigned short> >(UTF8String& out) { PutNumberElementTag<unsigned short>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<unsigned long> >(UTF8String& out) { PutNumberElementTag<unsigned long>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<long> >(UTF8String& out) { PutNumberElementTag<long>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<long long> >(UTF8String& out) { PutNumberElementTag<long long>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<unsigned long long> >(UTF8String& out) { PutNumberElementTag<unsigned long long>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<float> >(UTF8String& out) { PutNumberElementTag<float>(out); }
template <> void PutElementTag<SimpleTypeArrayNode<double> >(UTF8String& out) { PutNumberElementTag<double>(out); }

}  // namespace

PropNodeBase::~PropNodeBase() = default;

UnicodeStringPropNode::~UnicodeStringPropNode() = default;
void UnicodeStringPropNode::OutputAsXML(UTF8String& out) const {
  Put(out, "<ustring>");
  // Encoding the UTF-8 form gives the same bytes as encoding the UTF-16 text and converting.
  xml::utils::EncodeReservedCharacters(utility::UTF16to8(value_), out);
  Put(out, "</ustring>\n");
}

StringPropNode::~StringPropNode() = default;
void StringPropNode::OutputAsXML(UTF8String& out) const {
  Put(out, "<string>");
  xml::utils::EncodeReservedCharacters(value_, out);
  Put(out, "</string>\n");
}

BoolPropNode::~BoolPropNode() = default;
void BoolPropNode::OutputAsXML(UTF8String& out) const {
  if (value_)
    Put(out, "<true/>\n");
  else
    Put(out, "<false/>\n");
}

template <class T>
SimpleTypeArrayNode<T>::SimpleTypeArrayNode(T inValue)
    : value_(static_cast<typename impl::NumberTraits<T>::stored_type>(inValue)) {}
template <class T>
SimpleTypeArrayNode<T>::~SimpleTypeArrayNode() = default;
template <class T>
PropListPropertyType SimpleTypeArrayNode<T>::GetType() const {
  return kType;
}
template <class T>
void SimpleTypeArrayNode<T>::OutputAsXML(UTF8String& out) const {
  NumberTags const tags = Tags<T>();
  Append(out, tags.open, tags.openLength);
  impl::AppendNumber(out, value_);
  Append(out, tags.close, tags.closeLength);
}

template class SimpleTypeArrayNode<unsigned short>;
template class SimpleTypeArrayNode<unsigned long>;
template class SimpleTypeArrayNode<long>;
template class SimpleTypeArrayNode<long long>;
template class SimpleTypeArrayNode<unsigned long long>;
template class SimpleTypeArrayNode<float>;
template class SimpleTypeArrayNode<double>;

PropListNode::PropListNode() : list_(new PropList) {}
PropListNode::~PropListNode() = default;
PropListPropertyType PropListNode::GetType() const { return kType; }
void PropListNode::OutputAsXML(UTF8String& out) const { list_->OutputAsXMLFragment(out); }

template <class ElementPtr>
PropListArrayNode<ElementPtr>::PropListArrayNode() = default;

template <class ElementPtr>
PropListArrayNode<ElementPtr>::PropListArrayNode(std::list<value_type> const& inValues) {
  SetValue(inValues);
}

template <class ElementPtr>
PropListArrayNode<ElementPtr>::~PropListArrayNode() {
  DeleteElements();
}

template <class ElementPtr>
void PropListArrayNode<ElementPtr>::DeleteElements() {
  for (ElementPtr element : elements_) delete element;
  elements_.clear();
}

template <class ElementPtr>
PropListPropertyType PropListArrayNode<ElementPtr>::GetType() const {
  return kType;
}

template <class ElementPtr>
void PropListArrayNode<ElementPtr>::SetValue(std::list<value_type> const& inValues) {
  std::vector<ElementPtr> made;
  made.reserve(inValues.size());
  try {
    for (value_type const& value : inValues) made.push_back(new element_type(value));
  } catch (...) {
    for (ElementPtr element : made) delete element;
    throw;
  }
  DeleteElements();
  elements_.swap(made);
}

template <class ElementPtr>
void PropListArrayNode<ElementPtr>::AppendValuesTo(std::list<value_type>& ioValues) const {
  for (ElementPtr element : elements_) ioValues.push_back(element->GetValue());
}

template <class ElementPtr>
void PropListArrayNode<ElementPtr>::Append(value_type const& inValue) {
  std::unique_ptr<element_type> element(new element_type(inValue));
  elements_.push_back(element.get());
  element.release();
}

template <class ElementPtr>
void PropListArrayNode<ElementPtr>::OutputAsXML(UTF8String& out) const {
  Put(out, "<array>\n<array.type>");
  PutElementTag<element_type>(out);
  Put(out, "</array.type>\n");
  for (ElementPtr element : elements_) element->OutputAsXML(out);
  Put(out, "</array>\n");
}

template class PropListArrayNode<UnicodeStringPropNode*>;
template class PropListArrayNode<StringPropNode*>;
template class PropListArrayNode<BoolPropNode*>;
template class PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>;
template class PropListArrayNode<SimpleTypeArrayNode<unsigned long>*>;
template class PropListArrayNode<SimpleTypeArrayNode<long>*>;
template class PropListArrayNode<SimpleTypeArrayNode<long long>*>;
template class PropListArrayNode<SimpleTypeArrayNode<unsigned long long>*>;
template class PropListArrayNode<SimpleTypeArrayNode<float>*>;
template class PropListArrayNode<SimpleTypeArrayNode<double>*>;

}  // namespace proplist
}  // namespace vireo
