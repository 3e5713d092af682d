// Undo's stack of page states: the order edits are taken back in, the bounds on what is kept,
// and whether the page is the page saved last (its modified flag) after each step.
#include <gtest/gtest.h>

#include <string>

#include "layout/layout_history.h"

namespace sorvel {
namespace {

TEST(LayoutHistory, TakesEditsBackAndDoesThemAgainWithinItsBoundsAndKnowsTheSavedPage) {
    // e: an edit (the page goes from state n to a new state), u: undo, r: redo, s: save, c: a new
    // page. Each snapshot is "state n", 7 bytes.
    struct Case {
        const char* ops;
        std::size_t maxSteps, maxBytes;
        std::string back;  // the states undo and redo brought back, in order; "-" for one with none
        std::size_t steps;
        bool canRedo;
        bool atSavePoint;
    };
    const Case cases[] = {
        {"eeeuuuu", 100, 1000, "210-", 0, true, true},
        {"eesu", 100, 1000, "1", 1, true, false},       // back before the save: modified
        {"eeseu", 100, 1000, "2", 2, true, true},       // back to the saved page: not modified
        {"eesuue", 100, 1000, "10", 1, false, false},   // the saved page cannot come back
        {"eeueuu", 100, 1000, "110", 0, true, true},    // a new page counts as saved
        {"eeeeeuuuu", 3, 1000, "432-", 0, true, false}, // the oldest edits go; so does the new page
        {"eeeeuuu", 100, 15, "32-", 0, true, false},    // two snapshots fit in 15 bytes
        {"eeuu", 100, 3, "1-", 0, true, false},         // the newest edit stays whatever its size
        {"eesc", 100, 1000, "", 0, false, true},
        // Redo gives back what undo took, in the opposite order, up to the saved page again.
        {"eesuurrr", 100, 1000, "1012-", 2, false, true},
        {"eeure", 100, 1000, "12", 3, false, false},    // an edit after a redo: nothing more to redo
        {"eesuer", 100, 1000, "1-", 2, false, false},   // an edit after undo drops the saved page
        {"eeeuuurrr", 2, 1000, "21-23-", 2, false, false},
        {"eucr", 100, 1000, "0-", 0, false, true},
    };
    for (const Case& c : cases) {
        LayoutHistory h(c.maxSteps, c.maxBytes);
        int state = 0, next = 1;
        std::string back;
        const auto took = [&](const std::optional<LayoutSnapshot>& s) {
            if (!s) {
                back += '-';
                return;
            }
            state = s->at(0).back() - '0';
            back += s->at(0).back();
        };
        for (const char* op = c.ops; *op; ++op) {
            const LayoutSnapshot now{"state " + std::to_string(state)};
            switch (*op) {
                case 'e':
                    h.Record(now);
                    state = next++;
                    break;
                case 'u': took(h.Undo(now)); break;
                case 'r': took(h.Redo(now)); break;
                case 's': h.MarkSaved(); break;
                case 'c': h.Clear(); break;
            }
        }
        EXPECT_EQ(back, c.back) << c.ops;
        EXPECT_EQ(h.Steps(), c.steps) << c.ops;
        EXPECT_EQ(h.CanUndo(), c.steps > 0) << c.ops;
        EXPECT_EQ(h.CanRedo(), c.canRedo) << c.ops;
        EXPECT_EQ(h.AtSavePoint(), c.atSavePoint) << c.ops;
    }
}

}  // namespace
}  // namespace sorvel
