#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// A facility call that could not do what it was asked. Code above the layer
// either lets it travel up or swallows it statement by statement.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace platform
