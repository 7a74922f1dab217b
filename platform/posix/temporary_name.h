#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv::posix {

// How many random bytes a temporary name carries (16 hexadecimal digits).
inline constexpr std::size_t kTemporaryNameRandomBytes = 8;

// The name of a save's temporary file beside `target`: the target's name, a
// dot, the random digits and ".tmp". Earlier versions named their temporary
// files the same way, so the orphans they left are recognised too.
std::string temporaryNameFor(std::string_view target, std::string_view randomDigits);

// Whether `candidate` is a temporary name temporaryNameFor gives for `target`.
bool isTemporaryNameOf(std::string_view candidate, std::string_view target);

}  // namespace kiv::posix
