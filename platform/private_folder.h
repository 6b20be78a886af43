// A folder of one's own inside a folder that anybody may write to (the temporary folder), for a
// program this process copies there and starts: nobody can have put anything into it beforehand,
// and nobody without administrator rights can replace what this process puts into it, nor plant
// a library beside it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/text.h"

namespace platform {

// Creates the folder Path. Nothing of that name may exist, neither folder nor file nor link
// (ErrorAlreadyExists): a folder someone made in advance is never taken over. Only the system,
// the administrators and the folder's owner may change the folder or anything in it; for an
// elevated administrator the owner is the administrators' group, so the same user's ordinary
// processes are kept out. The host double makes a folder that only its owner may enter.
[[nodiscard]] bool CreatePrivateFolder(StringView path);

// 64 unpredictable bits per call.
using RandomSource = std::function<uint64_t()>;

// 64 bits from the system's cryptographic random generator.
uint64_t SystemRandom();

// How many names CreateUniquePrivateFolder tries before it gives up.
inline constexpr int PrivateFolderAttempts = 16;

// Creates a new private folder (CreatePrivateFolder) in Parent, named Prefix followed by 16
// lower-case hexadecimal digits from Random, and returns its path with a trailing backslash. A
// name that is taken is passed over for the next one; after PrivateFolderAttempts taken names it
// fails with ErrorAlreadyExists. False, with the platform's error, on any other failure.
[[nodiscard]] bool CreateUniquePrivateFolder(StringView parent, StringView prefix, String& path,
                                             const RandomSource& random = SystemRandom);

// Whether Name, a folder's name, is one that CreateUniquePrivateFolder makes with Prefix.
[[nodiscard]] bool IsUniquePrivateFolderName(StringView name, StringView prefix);

}  // namespace platform
