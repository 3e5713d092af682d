#pragma once
// The feature libraries' implementations linked into a test, given to the program's loader in
// place of libsorvel-ical.so and libsorvel-sync.so.
namespace sorvel::testing {
void provideLinkedFeatures();
}
