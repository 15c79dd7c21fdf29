// What the count and attribute setters of a type or table throw for a value
// out of range; the setter has changed nothing.
#pragma once

#include <exception>

struct TModelLimit : std::exception {
    const char* what() const noexcept override { return "A value is out of its range."; }
};
