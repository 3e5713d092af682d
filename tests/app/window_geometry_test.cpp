#include "app/window_geometry.h"

#include <gtest/gtest.h>

using namespace sorvel;

namespace {
const ScreenExtent kScreen{0, 0, 1280, 800};
}

TEST(WindowGeometry, KeepOnScreenBringsBackWindowsOffTheLeftAndTop) {
    EXPECT_EQ(keepOnScreen({-5000, 100, 640, 480}, kScreen), (WindowRect{0, 100, 640, 480}));
    EXPECT_EQ(keepOnScreen({100, -5000, 640, 480}, kScreen), (WindowRect{100, 0, 640, 480}));
    // Partly off screen is allowed.
    EXPECT_EQ(keepOnScreen({-600, -400, 640, 480}, kScreen), (WindowRect{-600, -400, 640, 480}));
    EXPECT_EQ(placeAtStoredPosition({-640, 300, 640, 480}, kScreen), (WindowRect{0, 0, 640, 480}));
    EXPECT_EQ(placeAtStoredPosition({-639, 300, 640, 480}, kScreen), (WindowRect{-639, 300, 640, 480}));
}

TEST(WindowGeometry, KeepOnScreenDocksWindowsAtOrBeyondTheFarEdges) {
    // Left at the screen width: the right edge goes to the screen's right edge, Top is kept.
    EXPECT_EQ(keepOnScreen({1280, 50, 640, 480}, kScreen), (WindowRect{640, 50, 640, 480}));
    EXPECT_EQ(keepOnScreen({9000, 50, 640, 480}, kScreen), (WindowRect{640, 50, 640, 480}));
    EXPECT_EQ(keepOnScreen({1279, 50, 640, 480}, kScreen), (WindowRect{1279, 50, 640, 480}));
    EXPECT_EQ(keepOnScreen({10, 800, 640, 480}, kScreen), (WindowRect{10, 320, 640, 480}));
}

TEST(WindowGeometry, WorkAreaThatDoesNotStartAtTheOrigin) {
    const ScreenExtent panelLeftTop{64, 32, 1216, 768};
    EXPECT_EQ(keepOnScreen({-5000, -5000, 640, 480}, panelLeftTop), (WindowRect{64, 32, 640, 480}));
    EXPECT_EQ(keepOnScreen({1280, 40, 640, 480}, panelLeftTop), (WindowRect{640, 40, 640, 480}));
    // Docked at the work area's right edge stays docked after a zoom change.
    WindowRect docked{1280 - 640, 100, 640, 480};
    EXPECT_EQ(resizeToZoom(docked, 25, 640, 480, panelLeftTop), (WindowRect{1280 - 320, 100, 320, 240}));
}

TEST(WindowGeometry, ResizeToZoomUsesAreaPercentages) {
    const WindowRect w{100, 100, 312, 213};
    EXPECT_EQ(resizeToZoom(w, 100, 640, 480, kScreen), (WindowRect{100, 100, 640, 480}));
    EXPECT_EQ(resizeToZoom(w, 25, 640, 480, kScreen), (WindowRect{100, 100, 320, 240}));
    EXPECT_EQ(resizeToZoom(w, 200, 640, 480, kScreen), (WindowRect{100, 100, 905, 678}));
    EXPECT_EQ(resizeToZoom(w, 50, 640, 480, kScreen), (WindowRect{100, 100, 452, 339}));
    EXPECT_EQ(resizeToZoom(w, 10, 640, 480, kScreen), (WindowRect{100, 100, 202, 151}));
    // A tiny base size counts as 640 × 400.
    EXPECT_EQ(resizeToZoom(w, 100, 5, 5, kScreen), (WindowRect{100, 100, 640, 400}));
    EXPECT_EQ(resizeToZoom(w, 100, 640, 10, kScreen), (WindowRect{100, 100, 640, 400}));
}

TEST(WindowGeometry, DockedWindowsStayDockedWhenTheZoomChanges) {
    WindowRect right{1280 - 640, 10, 640, 480};
    EXPECT_EQ(resizeToZoom(right, 200, 640, 480, kScreen), (WindowRect{1280 - 905, 10, 905, 678}));
    WindowRect bottom{10, 800 - 480, 640, 480};
    EXPECT_EQ(resizeToZoom(bottom, 25, 640, 480, kScreen), (WindowRect{10, 800 - 240, 320, 240}));
    // One pixel away from the edge is not docked.
    WindowRect near{1280 - 641, 10, 640, 480};
    EXPECT_EQ(resizeToZoom(near, 25, 640, 480, kScreen), (WindowRect{1280 - 641, 10, 320, 240}));
}

namespace {
// The primary screen, a second one to its right with a panel along its top, and a third left of
// the primary one (negative coordinates).
const ScreenExtent kRight{1280, 40, 1920, 1040};
const ScreenExtent kLeft{-1920, 0, 1920, 1080};

struct PlacementCase {
    const char* what;
    WindowRect stored;
    ScreenList screens;
    WindowRect placed;
};
}  // namespace

TEST(SeveralScreens, StartPlacementKeepsWindowsOnAnyScreenAndBringsBackTheRest) {
    const PlacementCase cases[] = {
        {"on the second screen", {2000, 500, 640, 480}, {kScreen, kRight}, {2000, 500, 640, 480}},
        {"second screen unplugged", {2000, 500, 640, 480}, {kScreen}, {640, 500, 640, 480}},
        {"on the screen left of the primary", {-1500, 100, 640, 480}, {kScreen, kLeft}, {-1500, 100, 640, 480}},
        {"left screen unplugged", {-1500, 100, 640, 480}, {kScreen}, {0, 0, 640, 480}},
        {"overlapping the second screen's work area by one row", {2000, -439, 640, 480}, {kScreen, kRight},
         {2000, -439, 640, 480}},
        {"above the second screen's work area", {2000, -440, 640, 480}, {kScreen, kRight}, {640, -440, 640, 480}},
        {"below the primary, beside the second", {100, 900, 640, 480}, {kScreen, kRight}, {100, 320, 640, 480}},
    };
    for (const PlacementCase& c : cases) {
        EXPECT_EQ(keepOnScreen(placeAtStoredPosition(c.stored, c.screens), c.screens), c.placed) << c.what;
    }
}
