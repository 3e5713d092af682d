#pragma once
// The instants the almanac is built on: new moons and the Sun's apparent ecliptic longitude
// reaching a given value, from ERFA's Earth ephemeris and Moon theory, as Julian dates of Japan
// Standard Time (a whole number + 0.5 is midnight in Japan).

namespace sorvel::astro {

// TT − UT in seconds at the decimal year y.
double deltaT(double y);
// JST Julian date of the instant whose Terrestrial Time Julian date is jdTT, and back.
double ttToJst(double jdTT);
double jstToTt(double jst);

// The Sun's apparent geocentric ecliptic longitude of date, in degrees 0 ≤ λ < 360.
double sunLongitude(double jdTT);
// The Moon's apparent longitude minus the Sun's, in degrees −180 < d ≤ 180.
double moonSunElongation(double jdTT);

// The JST instant when the Sun's apparent longitude reaches `longitude` degrees, the one nearest
// to the JST guess (within a few weeks).
double solarTermJst(double longitude, double guessJst);
// The JST instant of the new moon of lunation `lunation` (0 = the new moon of 6 January 2000).
double newMoonJst(int lunation);
// The lunation whose mean new moon lies nearest to the JST date.
int lunationNear(double jst);

// The Julian day number of the JST day holding the instant, minutes rounded as published.
int jstDayNumber(double jst);
// The instant in minutes after JST midnight of its day (0..1439), rounded to the minute.
int jstMinuteOfDay(double jst);

}  // namespace sorvel::astro
