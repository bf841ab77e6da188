#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace runtime {

// A control or menu item looked up by name does not exist.
class NilObjectException : public std::runtime_error {
public:
    explicit NilObjectException(std::string_view name)
        : std::runtime_error("NilObjectException: no object named \"" + std::string(name) + '"') {}
};

// An object exists under the name but is not of the kind the caller asked for.
class IllegalCastException : public std::runtime_error {
public:
    IllegalCastException(std::string_view name, std::string_view expected)
        : std::runtime_error("IllegalCastException: \"" + std::string(name) + "\" is not a " +
                             std::string(expected)) {}
};

} // namespace runtime
