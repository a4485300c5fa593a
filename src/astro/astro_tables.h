// Published series and term tables of the sun, moon and nutation models.
// The definitions are generated at build time from the CSV files in data/astro
// (tools/astro_tables); only the shapes live here.
#pragma once

#include <cstdint>

namespace astro_tables {

// One periodic term A·cos(B + C·τ) of the Earth's VSOP87D series. A is the
// published amplitude times 1e8 (1e-8 radian or 1e-8 AU), B radian, C radian
// per Julian millennium.
struct VsopTerm {
    long double A;
    long double B;
    long double C;
};

// The same series in double precision, laid out column by column so that the
// fast evaluation can stream over them.
struct VsopColumns {
    const double *A;
    const double *B;
    const double *C;
};

struct VsopSeries {
    const VsopTerm *terms;
    VsopColumns columns;
    int count;
};

constexpr int kVsopPowers = 6;

// Indexed by the power of τ, 0..5; a series without terms has count 0.
extern const VsopSeries kEarthLongitude[kVsopPowers];
extern const VsopSeries kEarthLatitude[kVsopPowers];
extern const VsopSeries kEarthRadius[kVsopPowers];

// Moon's longitude and distance: multipliers of D, M, M', F; sine coefficient
// of the longitude in 1e-6 degree, cosine coefficient of the distance in metres.
struct LunarLRRow {
    std::int8_t D, M, Mp, F;
    std::int32_t sigmaL;
    std::int32_t sigmaR;
};

// Moon's latitude: multipliers of D, M, M', F and the sine coefficient in 1e-6 degree.
struct LunarBRow {
    std::int8_t D, M, Mp, F;
    std::int32_t sigmaB;
};

constexpr int kLunarRows = 60;
extern const LunarLRRow kLunarLR[kLunarRows];
extern const LunarBRow kLunarB[kLunarRows];

// Nutation in longitude and obliquity: multipliers of D, M, M', F, Ω; sine
// coefficient A + B·T/10 and cosine coefficient C + D·T/10, in 0.0001".
struct NutationRow {
    std::int8_t D, M, Mp, F, Om;
    std::int32_t A, B, C, Dcoef;
};

constexpr int kNutationRows = 31;
extern const NutationRow kNutation[kNutationRows];

// One correction of a true moon phase: coef·sin(M·M + Mp·M' + F·F + Om·Ω), days;
// ePower is the power of E printed with the term.
struct PhaseTerm {
    long double coef;
    std::int8_t ePower;
    std::int8_t M, Mp, F, Om;
};

constexpr int kPhaseTerms = 25;
extern const PhaseTerm kNewMoonTerms[kPhaseTerms];
extern const PhaseTerm kFullMoonTerms[kPhaseTerms];
extern const PhaseTerm kQuarterTerms[kPhaseTerms];

// The W correction of the quarters: coef·E^ePower·cos(M·M + Mp·M' + F·F), or the
// bare coefficient when isConstant.
struct PhaseWTerm {
    long double coef;
    std::int8_t ePower;
    bool isConstant;
    std::int8_t M, Mp, F;
};

constexpr int kPhaseWTerms = 6;
extern const PhaseWTerm kQuarterW[kPhaseWTerms];

// The additional (planetary) corrections: coef·sin(c0 + ck·k + cT2·T²), days and degrees.
struct PlanetaryTerm {
    long double coef;
    long double c0;
    long double ck;
    long double cT2;
};

constexpr int kPlanetaryTerms = 14;
extern const PlanetaryTerm kPlanetary[kPlanetaryTerms];

} // namespace astro_tables
