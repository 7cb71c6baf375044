// Out-of-line virtual destructor: anchors the class's vtable in the library.
#include "vireo/utility/RefCountedObject.h"

namespace vireo {
namespace utility {

RefCountedObject::~RefCountedObject() = default;

}  // namespace utility
}  // namespace vireo
