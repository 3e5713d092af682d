// Undo's stack of page states: the order edits are taken back in, the bounds on what is kept,
// and whether the page is the page saved last (its modified flag) after each step.
#include <gtest/gtest.h>

#include <string>

#include "layout/layout_history.h"

namespace sorvel {
namespace {

TEST(LayoutHistory, TakesEditsBackAndDoesThemAgainWithinItsBoundsAndKnowsTheSavedPage) {
    // e: an edit (the page goes from state n to a new one), u: undo, r: redo, s: save, c: a new page.
    // Each snapshot is "state n", 7 bytes.
    struct Case {
        const char* ops;
        std::size_t maxSteps, maxBytes;
        std::string undone;  // the states undo and redo brought back, in order; "-" for one with none
        std::size_t steps;
        bool atSavePoint;
    };
    const Case cases[] = {
        {"eeeuuuu", 100, 1000, "210-", 0, true},
        {"eesu", 100, 1000, "1", 1, false},       // back before the save: modified
        {"eeseu", 100, 1000, "2", 2, true},       // back to the saved page: not modified
        {"eesuue", 100, 1000, "10", 1, false},    // the saved page cannot come back
        {"eeueuu", 100, 1000, "110", 0, true},    // a new page counts as saved
        {"eeeeeuuuu", 3, 1000, "432-", 0, false}, // the oldest edits go; so does the new page
        {"eeeeuuu", 100, 15, "32-", 0, false},    // two snapshots fit in 15 bytes
        {"eeuu", 100, 3, "1-", 0, false},         // the newest edit stays whatever its size
        {"eesc", 100, 1000, "", 0, true},
        {"eesuurrr", 100, 1000, "1012-", 2, true},  // redo goes back up to the saved page
        {"eeurer", 100, 1000, "12-", 3, false},     // nothing to redo after an edit
        {"eesuer", 100, 1000, "1-", 2, false},      // an edit after undo drops the saved page
        {"eeeuuurrr", 2, 1000, "21-23-", 2, false},
    };
    for (const Case& c : cases) {
        LayoutHistory h(c.maxSteps, c.maxBytes);
        int state = 0, next = 1;
        std::string undone;
        for (const char* op = c.ops; *op; ++op) {
            const LayoutSnapshot now{"state " + std::to_string(state)};
            switch (*op) {
                case 'e':
                    h.Record(now);
                    state = next++;
                    break;
                case 'u':
                case 'r':
                    if (auto s = *op == 'u' ? h.Undo(now) : h.Redo(now)) {
                        state = s->at(0).back() - '0';
                        undone += s->at(0).back();
                    } else {
                        undone += '-';
                    }
                    break;
                case 's': h.MarkSaved(); break;
                case 'c': h.Clear(); break;
            }
        }
        EXPECT_EQ(undone, c.undone) << c.ops;
        EXPECT_EQ(h.Steps(), c.steps) << c.ops;
        EXPECT_EQ(h.CanUndo(), c.steps > 0) << c.ops;
        EXPECT_EQ(h.AtSavePoint(), c.atSavePoint) << c.ops;
    }
}

}  // namespace
}  // namespace sorvel
