// Months of running in a few minutes: the real calendar window (offscreen platform, answers from
// the scripted UI, pages to the recording printer) through 100,000 month steps, 2,000 day
// dialogs opened and closed, 500 settings dialogs, 200 layout pages opened and closed and 100
// list prints. A warm-up of each comes first; the process's heap in use (mallinfo2) and its
// resident memory are read after the warm-up and at the end, and their growth printed.
//
//   build/bench/bench_soak            the full run
//   build/bench/bench_soak 10         every count divided by 10, for a quick look
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "app/main_form.h"
#include "data/data_file.h"
#include "data/day_dialog.h"
#include "layout/layout_form.h"
#include "layout/layout_paper.h"
#include "layout/so_tex.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "schedule/yotei_form.h"
#include "settings/calender_set.h"
#include "settings/setting_form.h"

namespace {

using namespace sorvel;

struct Memory {
    double heapMB = 0;  // in use by malloc, mapped blocks included
    double rssMB = 0;
};

Memory memoryNow() {
    // Freed pages go back first, so that what stays is what is held.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    malloc_trim(0);
    const struct mallinfo2 mi = mallinfo2();
    Memory m;
    m.heapMB = static_cast<double>(mi.uordblks + mi.hblkhd) / (1024.0 * 1024.0);
    long pages = 0, resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    m.rssMB = static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
    return m;
}

// Closes the modal dialog of type D as soon as it is up; counts the ones it closed.
template <class D>
class ModalCloser {
public:
    ModalCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
                d->close();
                ++closed;
            }
        });
        timer_.start(0);
    }
    int closed = 0;

private:
    QTimer timer_;
};

class Soak {
public:
    Soak() {
        setProgramDirectory(dir.path());
        setTodayForTesting(LocalDate{2001, 9, 23});
        // An installed copy with 120 notes over 2001, so that the days, the list and its print
        // have rows to show.
        TDateMemoList memos;
        for (int i = 0; i < 120; ++i)
            memos.push_back(std::make_unique<TDateMemo>(
                TDateMemo{2001, 1 + i % 12, 1 + i % 28, sjis("会議室Ａで打ち合わせ\r\n資料を持参"), sjis("打ち合わせ")}));
        THolidayList rules;
        atomicReplace(dir.filePath("Sorvel.dat"), buildDataFile(memos, rules));
        TCalenderSet cs;
        atomicReplace(dir.filePath("SorvelSt.dat"), buildStateFile(cs));
        atomicReplace(dir.filePath("sorvel.ini"), "[SorvelSetting]\r\nVersion=1.2\r\n[LayoutSet]\r\nDisp=0\r\n");
        // The page the layout window opens: a text and a calendar of twelve months.
        {
            TLayoutPaper page;
            page.LayoutFor(800, 600);
            page.objects.push_back(std::make_unique<TSorvelObj>(kObjText, ObjRect{60, 400, 500, 560}, page.Scale));
            page.objects[0]->text()->Text = sjis("Sorvel\r\n2001年");
            auto calendar = std::make_unique<TSorvelObj>(kObjCalendar, ObjRect{20, 20, 700, 380}, page.Scale);
            calendar->calendar()->settings().dateSet.NumberOfMonth = 12;
            page.objects.push_back(std::move(calendar));
            layoutFile = dir.filePath("page.sla");
            atomicReplace(layoutFile, page.BuildLayout());
        }
        form = std::make_unique<TMainForm>();
        form->FormCreate();
        form->show();
        QCoreApplication::processEvents();
    }
    ~Soak() {
        form.reset();
        setProgramDirectory(QString());
        setTodayForTesting(std::nullopt);
    }

    // Twelve months on, twelve back, through the corner buttons.
    void monthSteps(int n) {
        for (int i = 0; i < n; ++i) {
            const int x = i / 12 % 2 == 0 ? form->width() - 3 : 3;
            form->FormMouseDown(Qt::LeftButton, x, 3);
            form->FormMouseUp(x, 3);
            if (i % 500 == 0) QCoreApplication::processEvents();
        }
    }
    // The day dialog of Monday 3 September 2001 (column 1, week row 2), and of the 17th after.
    void dayDialogs(int n) {
        TCalenderSet& cs = form->draw().settings();
        cs.DispYear = 2001;
        cs.DispMonth = 9;
        form->ShowImage();
        ModalCloser<TDayData> closer;
        for (int i = 0; i < n; ++i) {
            const int x = 160, y = (i % 2 == 0 ? 4 : 6) * (480 / 9) + 20;
            form->FormMouseUp(x, y);
            form->FormDblClick();
            form->FormMouseDown(Qt::LeftButton, x, y);  // the press the double click replaces
            form->FormMouseUp(x, y);
        }
        check(closer.closed == n, "a day dialog did not open");
    }
    void settingsDialogs(int n) {
        ModalCloser<TSettingForm> closer;
        for (int i = 0; i < n; ++i) form->setClick();
        check(closer.closed == n, "a settings dialog did not open");
    }
    void layoutPages(int n) {
        for (int i = 0; i < n; ++i) {
            form->LayoutClick();
            TLayoutForm* layout = form->layoutForm();
            check(layout != nullptr, "the layout window did not open");
            ui.fileAnswers = {layoutFile};
            layout->LaOpenClick();
            check(layout->page().objects.size() == 2, "the layout page was not read");
            form->LayoutClick();
            check(form->layoutForm() == nullptr, "the layout window did not close");
        }
    }
    void listPrints(int n) {
        TYoteiForm* list = form->yoteiForm();
        check(list != nullptr, "the schedule list is not open");
        QAction* print = list->findChild<QAction*>(QStringLiteral("P1"));
        check(print != nullptr, "no print item");
        for (int i = 0; i < n; ++i) {
            print->trigger();
            check(!printer.pages.empty(), "nothing was printed");
            // What the recording printer keeps is the bench's, not the program's.
            printer.pages.clear();
            printer.steps.clear();
            printer.dialogs.clear();
            printer.presets.clear();
            printer.documentNames.clear();
        }
    }
    void all(int divisor) {
        monthSteps(100000 / divisor);
        dayDialogs(2000 / divisor);
        settingsDialogs(500 / divisor);
        layoutPages(200 / divisor);
        listPrints(100 / divisor);
        ui.messages.clear();
    }
    static void check(bool ok, const char* what) {
        if (ok) return;
        std::fprintf(stderr, "bench_soak: %s\n", what);
        std::exit(1);
    }

    QTemporaryDir dir;
    ScriptedUi ui;
    RecordingPrinter printer;
    QString layoutFile;
    std::unique_ptr<TMainForm> form;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    QApplication app(argc, argv);
    Soak soak;
    // Warm-up: every step a few times, so that caches, fonts and the toolkit's first-use
    // allocations are in place before the first reading.
    soak.all(100);
    soak.all(100);
    const Memory start = memoryNow();
    const auto t0 = std::chrono::steady_clock::now();

    const int n = 100000 / divisor, d = 2000 / divisor, s = 500 / divisor, l = 200 / divisor, p = 100 / divisor;
    soak.monthSteps(n);
    const Memory afterMonths = memoryNow();
    soak.dayDialogs(d);
    const Memory afterDays = memoryNow();
    soak.settingsDialogs(s);
    const Memory afterSettings = memoryNow();
    soak.layoutPages(l);
    const Memory afterLayouts = memoryNow();
    soak.listPrints(p);
    soak.ui.messages.clear();
    const Memory end = memoryNow();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    std::printf("bench_soak: %d month steps, %d day dialogs, %d settings dialogs, %d layout pages, %d list prints in %.1f s\n",
                n, d, s, l, p, seconds);
    auto row = [&](const char* what, const Memory& m) {
        std::printf("  %-22s heap %8.2f MB (%+7.3f)   rss %8.2f MB (%+7.3f)\n", what, m.heapMB, m.heapMB - start.heapMB,
                    m.rssMB, m.rssMB - start.rssMB);
    };
    row("after warm-up", start);
    row("after month steps", afterMonths);
    row("after day dialogs", afterDays);
    row("after settings", afterSettings);
    row("after layout pages", afterLayouts);
    row("after list prints", end);
    const double growth = std::max(end.heapMB - start.heapMB, end.rssMB - start.rssMB);
    std::printf("  growth %.3f MB (limit 2 MB): %s\n", growth, growth <= 2.0 ? "ok" : "TOO MUCH");
    return growth <= 2.0 ? 0 : 1;
}
