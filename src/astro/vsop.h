// Planetary theory evaluation (VSOP87, version D: heliocentric spherical
// coordinates referred to the dynamical ecliptic and equinox of date).
#pragma once

#include "astro_tables.h"
#include "astro_types.h"

enum class TVsopCoordinate { Longitude, Latitude, Radius };

// Evaluates the series of one body for one time value. A derived class supplies
// the terms; an index past the end of a series yields a zero term.
class TVSOP {
public:
    using TTerm = astro_tables::VsopTerm;

    virtual ~TVSOP() = default;

    void SetDate(TDateTime t) { FDate = t; }
    TDateTime Date() const { return FDate; }

    // Series values: radian, radian, AU.
    long double GetLongitude() const;
    long double GetLatitude() const;
    long double GetRadius() const;

    // Converts a longitude/latitude pair (radian) of the dynamical frame of
    // FDate to the FK5 system.
    void DynamicToFK5(long double &L, long double &B) const;

    // Julian millennia from 2000-01-01 12:00.
    long double Tau() const;

protected:
    virtual TTerm LongitudeTerm(int power, int index) const = 0;
    virtual TTerm LatitudeTerm(int power, int index) const = 0;
    virtual TTerm RadiusTerm(int power, int index) const = 0;

    // S = Σ A·cos(B + C·τ) over the terms of one power, in extended precision,
    // stopping at the first term that contributes exactly 0 (the end marker).
    virtual long double SeriesSum(TVsopCoordinate coord, int power) const;

private:
    long double Evaluate(TVsopCoordinate coord) const;

    TDateTime FDate = 0;
};

// The Earth's complete VSOP87D series.
class TVSOPEarth : public TVSOP {
protected:
    TTerm LongitudeTerm(int power, int index) const override;
    TTerm LatitudeTerm(int power, int index) const override;
    TTerm RadiusTerm(int power, int index) const override;

    // The leading term of each series in extended precision, the rest in
    // double; agrees with the extended sum well below 1e-12 radian.
    long double SeriesSum(TVsopCoordinate coord, int power) const override;
};

struct THeliocentric {
    long double L = 0; // degrees, [0, 360)
    long double B = 0; // degrees
    long double R = 0; // AU
};

// Heliocentric position in the FK5 system.
THeliocentric HeliocentricPosition(TVSOP &theory, TDateTime t);

// Heliocentric position in the dynamical frame of date (no FK5 conversion),
// for callers that convert the geocentric position themselves.
THeliocentric DynamicalHeliocentricPosition(TVSOP &theory, TDateTime t);
