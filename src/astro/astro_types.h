// Types shared by the astronomy units: the time value, the coordinate record and
// the errors the callers catch.
#pragma once

#include <stdexcept>

// Days since 1899-12-30 00:00, the fraction being the time of day (the same
// alias as the weather records use).
using TDateTime = double;

// Ecliptic and equatorial position of a body: degrees, except the radius in km.
struct TCoord {
    long double longitude = 0;
    long double latitude = 0;
    long double radius = 0;
    long double rightAscension = 0;
    long double declination = 0;
};

// A calendar date that cannot be turned into a Julian day.
class EConvertError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The body does not rise or set on that day (polar day or night).
class E_NoRiseSet : public std::runtime_error {
public:
    E_NoRiseSet() : std::runtime_error("No rises or sets calculable") {}
};

// An argument outside what the algorithms can answer.
class E_OutOfAlgorithmRange : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
