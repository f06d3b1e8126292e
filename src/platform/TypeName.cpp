#include "TypeName.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace platform {

std::string DemangledTypeName(const char* mangled) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

} // namespace platform
