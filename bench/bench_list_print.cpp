// Printing the schedule list to a PDF file: 1,000 notes with captions and texts of a few lines,
// through the same Qt printer path a real print takes (vector text at the fixed resolution).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data/date_data.h"
#include "platform/printing_qt.h"
#include "platform/text.h"
#include "schedule/list_print.h"

namespace {

// Answers every print dialog with a PDF file.
class PdfPrinter : public sorvel::PrintService {
public:
    explicit PdfPrinter(QString path) : path_(std::move(path)) { sorvel::setPrintService(this); }
    ~PdfPrinter() override { sorvel::setPrintService(nullptr); }
    std::unique_ptr<sorvel::PrintJob> printDialog(QWidget*, sorvel::PrintDialogKind, const sorvel::PaperSetup&) override {
        return sorvel::pdfFileJob(path_);
    }
    std::unique_ptr<sorvel::PrintJob> defaultPrinter() override { return sorvel::pdfFileJob(path_); }

private:
    QString path_;
};

std::string cp932(const QString& s) { return sorvel::fromQString(s).value_or(std::string()); }

void BM_PrintThousandNotesToPdf(benchmark::State& state) {
    // Three or so notes a day from 1 January 2001, captions and texts of one to three lines.
    std::vector<sorvel::TDateMemo> memos;
    for (int i = 0; i < 1000; ++i) {
        const int day = i / 3;
        sorvel::TDateMemo m;
        m.year = 2001 + day / 336;
        m.month = 1 + day / 28 % 12;
        m.day = 1 + day % 28;
        m.caption = cp932(QStringLiteral("打ち合わせ %1 件目").arg(i));
        m.text = cp932(QStringLiteral("会議室Ａで%1時から。\r\n資料を持参すること。").arg(9 + i % 8));
        if (i % 5 == 0) m.text += cp932(QStringLiteral("\r\n長い説明の行があります。折り返しを確かめるために、列の幅を超える長さの文章を書いておきます。"));
        memos.push_back(m);
    }
    std::vector<const sorvel::TDateMemo*> notes;
    for (const auto& m : memos) notes.push_back(&m);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    PdfPrinter pdf(path);
    int result = 0;
    for (auto _ : state) result = sorvel::PrintList(nullptr, notes);
    if (result != 1) state.SkipWithError("printing failed");
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    // SORVEL_KEEP_PDF=<file> keeps the output to look at.
    const QString keep = qEnvironmentVariable("SORVEL_KEEP_PDF");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
    }
}
BENCHMARK(BM_PrintThousandNotesToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
