#include "almanac/almanac_astro.h"

#include <array>
#include <cmath>

#include <erfa.h>
#include <erfam.h>

namespace sorvel::astro {
namespace {

constexpr double kJstOffsetDays = 9.0 / 24.0;
constexpr double kTropicalYear = 365.242189;
constexpr double kSynodicMonth = 29.530588861;
// Meeus, Astronomical Algorithms (2nd ed.), ch. 49: the mean new moon of lunation 0, in TT.
constexpr double kFirstMeanNewMoon = 2451550.09766;

double wrap180(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d <= -180.0) d += 360.0;
    if (d > 180.0) d -= 360.0;
    return d;
}

// A direction in the ICRS (any length) to its longitude on the mean ecliptic and equinox of date,
// plus the nutation in longitude: the apparent longitude in degrees.
double eclipticLongitude(const double p[3], double jdTT, double dpsi) {
    double rm[3][3];
    eraEcm06(ERFA_DJ00, jdTT - ERFA_DJ00, rm);
    double e[3];
    eraRxp(rm, const_cast<double*>(p), e);
    return eraAnp(std::atan2(e[1], e[0]) + dpsi) * ERFA_DR2D;
}

double nutationInLongitude(double jdTT) {
    double dpsi = 0.0;
    double deps = 0.0;
    // The truncated IAU 2000B series: 1 mas, far below the minute the almanac is published to.
    eraNut00b(ERFA_DJ00, jdTT - ERFA_DJ00, &dpsi, &deps);
    return dpsi;
}

// The Sun's apparent direction in the ICRS: the geometric direction from the Earth's centre with
// the annual aberration of the Earth's barycentric velocity. The Sun's own motion during the
// light time (about 500 s at 13 m/s) is below a milliarcsecond and left out.
void apparentSun(double jdTT, double out[3]) {
    double pvh[2][3];
    double pvb[2][3];
    eraEpv00(ERFA_DJ00, jdTT - ERFA_DJ00, pvh, pvb);  // TDB and TT differ by 2 ms at most
    double p[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    double distance = 0.0;
    double unit[3];
    eraPn(p, &distance, unit);
    double v[3];
    eraSxp(ERFA_AULT / ERFA_DAYSEC, pvb[1], v);  // AU per day to units of c
    const double bm1 = std::sqrt(1.0 - eraPdp(v, v));
    eraAb(unit, v, distance, bm1, out);
}

// The Moon's geocentric direction in the GCRS where it was one light time ago (about 1.3 s).
void apparentMoon(double jdTT, double out[3]) {
    double pv[2][3];
    eraMoon98(ERFA_DJ00, jdTT - ERFA_DJ00, pv);
    const double lightDays = eraPm(pv[0]) * ERFA_AULT / ERFA_DAYSEC;
    for (int i = 0; i < 3; ++i) out[i] = pv[0][i] - pv[1][i] * lightDays;
}

// Newton's iteration on a function of time that grows by `rate` per day, with the rate corrected
// by the secant of the last two steps, until the step is below about 5 ms.
template <typename F>
double solve(F residual, double t, double rate) {
    double f = residual(t);
    for (int i = 0; i < 20; ++i) {
        const double step = -f / rate;
        const double next = t + step;
        const double fNext = residual(next);
        if (std::abs(step) < 5e-8) return next;
        if (fNext != f) rate = (fNext - f) / step;
        t = next;
        f = fNext;
    }
    return t;
}

double decimalYear(double jd) { return 2000.0 + (jd - ERFA_DJ00) / 365.25; }

}  // namespace

double jstToTt(double jst) {
    const double ut = jst - kJstOffsetDays;
    return ut + deltaT(decimalYear(ut)) / ERFA_DAYSEC;
}

// ΔT before 2005 and after 2050 by the polynomials of Espenak and Meeus, "Five Millennium Canon
// of Solar Eclipses: −1999 to +3000" (NASA TP-2006-214141), as published on NASA's eclipse pages
// ("Polynomial Expressions for Delta T"). Their 2005–2050 parabola was an extrapolation that ran
// 5 s ahead of the Earth by 2025, enough to move a published minute (小暑 2019, 18:21), so from
// 2005 to 2025 the observed values are used (IERS / USNO, ΔT at the start of each year), and from
// 2025 the difference to the parabola is let go linearly until it vanishes in 2050.
// y is the decimal year (year + (month − 0.5) / 12).
namespace {

constexpr double kObservedFrom = 2005.0;
constexpr std::array<double, 21> kObserved = {64.69, 64.85, 65.15, 65.46, 65.78, 66.07, 66.32,
                                              66.60, 66.91, 67.28, 67.64, 68.10, 68.59, 68.97,
                                              69.22, 69.36, 69.36, 69.29, 69.20, 69.18, 69.14};
constexpr double kObservedTo = kObservedFrom + static_cast<double>(kObserved.size() - 1);
constexpr double kBlendTo = 2050.0;

double espenakMeeus2005to2050(double y) {
    const double t = y - 2000.0;
    return 62.92 + 0.32217 * t + 0.005589 * t * t;
}

}  // namespace

double deltaT(double y) {
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * t * t * t -
               0.00037436 * std::pow(t, 4) + 0.0000121272 * std::pow(t, 5) -
               0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * t * t * t -
               0.0004473624 * std::pow(t, 4) + std::pow(t, 5) / 233174.0;
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t - 0.000197 * std::pow(t, 4);
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + 0.407 * t - t * t / 233.0 + t * t * t / 2547.0;
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + 1.067 * t - t * t / 260.0 - t * t * t / 718.0;
    }
    if (y < kObservedFrom) {
        const double t = y - 2000.0;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t + 0.000651814 * std::pow(t, 4) +
               0.00002373599 * std::pow(t, 5);
    }
    if (y < kObservedTo) {
        const double at = y - kObservedFrom;
        const auto i = static_cast<std::size_t>(at);
        const double f = at - static_cast<double>(i);
        return kObserved[i] * (1.0 - f) + kObserved[i + 1] * f;
    }
    if (y < kBlendTo) {
        const double gap = espenakMeeus2005to2050(kObservedTo) - kObserved.back();
        return espenakMeeus2005to2050(y) - gap * (kBlendTo - y) / (kBlendTo - kObservedTo);
    }
    const double u = (y - 1820.0) / 100.0;
    if (y < 2150.0) return -20.0 + 32.0 * u * u - 0.5628 * (2150.0 - y);
    return -20.0 + 32.0 * u * u;
}

double ttToJst(double jdTT) {
    return jdTT - deltaT(decimalYear(jdTT)) / ERFA_DAYSEC + kJstOffsetDays;
}

double sunLongitude(double jdTT) {
    double sun[3];
    apparentSun(jdTT, sun);
    return eclipticLongitude(sun, jdTT, nutationInLongitude(jdTT));
}

double moonSunElongation(double jdTT) {
    const double dpsi = nutationInLongitude(jdTT);
    double sun[3];
    double moon[3];
    apparentSun(jdTT, sun);
    apparentMoon(jdTT, moon);
    return wrap180(eclipticLongitude(moon, jdTT, dpsi) - eclipticLongitude(sun, jdTT, dpsi));
}

double solarTermJst(double longitude, double guessJst) {
    const double rate = 360.0 / kTropicalYear;
    const double tt = solve([&](double t) { return wrap180(sunLongitude(t) - longitude); }, jstToTt(guessJst), rate);
    return ttToJst(tt);
}

double newMoonJst(int lunation) {
    const double guess = kFirstMeanNewMoon + kSynodicMonth * lunation;
    const double rate = 360.0 / kSynodicMonth + 360.0 / kTropicalYear;
    return ttToJst(solve([](double t) { return moonSunElongation(t); }, guess, rate));
}

int lunationNear(double jst) {
    return static_cast<int>(std::lround((jstToTt(jst) - kFirstMeanNewMoon) / kSynodicMonth));
}

int jstDayNumber(double jst) {
    const double minutes = std::round((jst + 0.5) * 1440.0);
    return static_cast<int>(std::floor(minutes / 1440.0));
}

int jstMinuteOfDay(double jst) {
    const double minutes = std::round((jst + 0.5) * 1440.0);
    return static_cast<int>(minutes - std::floor(minutes / 1440.0) * 1440.0);
}

}  // namespace sorvel::astro
