// Types shared by the astronomy units: the coordinate record and the errors the
// callers catch (the time value and EConvertError are the program's own).
#pragma once

#include "ConvertError.h"
#include "TDateTime.h"

#include <stdexcept>

// Ecliptic and equatorial position of a body: degrees, except the radius in km.
struct TCoord {
    long double longitude = 0;
    long double latitude = 0;
    long double radius = 0;
    long double rightAscension = 0;
    long double declination = 0;
};

// The body does not rise or set on that day (polar day or night).
class ENoRiseSet : public std::runtime_error {
public:
    ENoRiseSet() : std::runtime_error("No rises or sets calculable") {}
};

// An argument outside what the algorithms can answer.
class EOutOfAlgorithmRange : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
