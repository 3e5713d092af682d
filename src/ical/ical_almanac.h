#pragma once
// The almanac as all-day events: the 六曜 of every day, the first day of each old month, the
// 節気 and the 雑節, each under its own category so a subscribing calendar can show or hide it.
// Their UIDs are made of the kind and the date, so a new export replaces the old one.
#include <string>

#include "calendar/day_number.h"

namespace sorvel {

// Appends the events of the days first..last (both included; days outside the almanac's years
// are left out), every one with "DTSTAMP:" + stamp.
void appendAlmanacEvents(std::string& out, const Date& first, const Date& last, const std::string& stamp);

}  // namespace sorvel
