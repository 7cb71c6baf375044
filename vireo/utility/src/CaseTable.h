// The case table, generated at build time by tools/casegen from data/unicode-3.0 into
// constant arrays: nothing is filled at run time, so any thread may make the first call.
#ifndef VIREO_UTILITY_SRC_CASETABLE_H
#define VIREO_UTILITY_SRC_CASETABLE_H

#include <cstdint>

namespace vireo {
namespace utility {
namespace impl {

enum CaseForm { kCaseLower = 0, kCaseUpper = 1, kCaseFold = 2 };

// Two levels: the block of a unit's high byte (block 0 maps every unit to itself), then one
// entry per unit and form. An entry below 0x10000 is added to the unit (modulo 2^16); a larger
// one is an expansion: length in bits 16-17, offset into kCaseExpansions in bits 0-15.
extern std::uint8_t const kCaseBlockOf[256];
typedef std::uint32_t CaseBlock[256];
extern CaseBlock const* const kCaseEntries[3];  // per form: its blocks
extern std::uint16_t const kCaseExpansions[];

inline std::uint32_t CaseEntry(CaseBlock const* blocks, unsigned short unit) {
  return blocks[kCaseBlockOf[unit >> 8]][unit & 0xFF];
}

}  // namespace impl
}  // namespace utility
}  // namespace vireo

#endif
