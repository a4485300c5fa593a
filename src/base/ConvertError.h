// A value that cannot be converted: a malformed number in a strict read, or a
// calendar date that does not exist. The one boundary the user sees catches it.
// Free of Qt so that the astronomy shares it.
#pragma once

#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
