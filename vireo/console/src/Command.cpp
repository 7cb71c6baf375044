// The base of console commands.
#include "vireo/console/Command.h"

namespace vireo {
namespace console {

Command::Command(utility::UTF16String const& name, utility::UTF16String const& help)
    : name_(name), help_(help) {}

Command::~Command() = default;

}  // namespace console
}  // namespace vireo
