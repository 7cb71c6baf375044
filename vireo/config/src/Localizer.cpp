// The localizer slot and the default-text fallback.
#include "vireo/config/Localizer.h"

#include <atomic>
#include <cstring>
#include <stdexcept>

namespace vireo {
namespace config {
namespace {
std::atomic<Localizer*> gLocalizer{nullptr};
}  // namespace

Localizer::Localizer() = default;
Localizer::~Localizer() = default;

void Localizer::Set(Localizer* l) { gLocalizer.store(l, std::memory_order_release); }

Localizer* Localizer::Get() {
  Localizer* l = gLocalizer.load(std::memory_order_acquire);
  if (!l)
    throw std::logic_error("vireo::config::Localizer not initialized. Check vireo/config/Localizer.");
  return l;
}

bool Localizer::Initialized() { return gLocalizer.load(std::memory_order_acquire) != nullptr; }

utility::UTF16String LocalizeOrDefault(char const* inKey) {
  if (!inKey) return utility::UTF16String();
  if (Localizer* l = gLocalizer.load(std::memory_order_acquire)) return l->GetLocalizedString(inKey);
  char const* text = std::strchr(inKey, '=');
  return utility::AsciiToUTF16(text ? text + 1 : "");
}

}  // namespace config
}  // namespace vireo
