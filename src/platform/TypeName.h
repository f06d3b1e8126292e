#pragma once

#include <string>

namespace platform {

// The readable name of a type, as the compiler's run-time type information gives it
// (typeid(T).name()); the name as given when it cannot be demangled.
std::string DemangledTypeName(const char* mangled);

} // namespace platform
