#include "ical/ical_commands.h"

#include <algorithm>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QSpinBox>
#include <QVBoxLayout>

#include "almanac/almanac.h"
#include "ical/ical_library.h"
#include "ical/ical_messages.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace sorvel {

namespace {

const QString kFilter = QStringLiteral("iCalendar (*.ics)|*.ics");

// Two year fields "[from] 年から [to] 年まで" in a row.
struct YearFields {
    QSpinBox* from;
    QSpinBox* to;
    QWidget* row;
};
YearFields yearFields(QWidget* parent, IcalYears initial, const char* fromName = "FromYear",
                      const char* toName = "ToYear", int first = 1, int last = 9999) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto spin = [&](const char* name, int value) {
        auto* s = new QSpinBox(row);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(first, last);
        s->setValue(value);
        return s;
    };
    YearFields f{spin(fromName, initial.from), spin(toName, initial.to), row};
    h->addWidget(f.from);
    h->addWidget(new QLabel(QStringLiteral("年から"), row));
    h->addWidget(f.to);
    h->addWidget(new QLabel(QStringLiteral("年まで"), row));
    return f;
}

QDialogButtonBox* okCancel(QDialog* d) {
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}

}  // namespace

IcalYears orderedYears(int a, int b) {
    a = std::clamp(a, 1, 9999);
    b = std::clamp(b, 1, 9999);
    return IcalYears{std::min(a, b), std::max(a, b)};
}

IcalYears almanacYears(IcalYears years) {
    return IcalYears{std::clamp(years.from, kAlmanacFirstYear, kAlmanacLastYear),
                     std::clamp(years.to, kAlmanacFirstYear, kAlmanacLastYear)};
}

std::optional<IcalYears> askImportRange(QWidget* parent, IcalYears initial) {
    QDialog d(parent);
    d.setObjectName(QStringLiteral("IcalImportDialog"));
    d.setWindowTitle(QStringLiteral("iCalendarファイルの読み込み"));
    auto* v = new QVBoxLayout(&d);
    v->addWidget(new QLabel(QStringLiteral("繰り返す予定を読み込む年"), &d));
    const YearFields f = yearFields(&d, initial);
    v->addWidget(f.row);
    v->addWidget(okCancel(&d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return orderedYears(f.from->value(), f.to->value());
}

std::optional<ExportChoice> askExportChoice(QWidget* parent, IcalYears initial) {
    QDialog d(parent);
    d.setObjectName(QStringLiteral("IcalExportDialog"));
    d.setWindowTitle(QStringLiteral("iCalendarファイルへの書き出し"));
    auto* v = new QVBoxLayout(&d);
    auto* national = new QCheckBox(QStringLiteral("国民の祝日も書き出す"), &d);
    national->setObjectName(QStringLiteral("National"));
    v->addWidget(national);
    const YearFields f = yearFields(&d, initial);
    f.row->setEnabled(false);
    QObject::connect(national, &QCheckBox::toggled, f.row, &QWidget::setEnabled);
    v->addWidget(f.row);
    auto* almanac = new QCheckBox(QStringLiteral("暦注も書き出す"), &d);
    almanac->setObjectName(QStringLiteral("Almanac"));
    v->addWidget(almanac);
    const YearFields a = yearFields(&d, almanacYears(initial), "AlmanacFromYear", "AlmanacToYear",
                                    kAlmanacFirstYear, kAlmanacLastYear);
    a.row->setEnabled(false);
    QObject::connect(almanac, &QCheckBox::toggled, a.row, &QWidget::setEnabled);
    v->addWidget(a.row);
    v->addWidget(okCancel(&d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return ExportChoice{national->isChecked(), orderedYears(f.from->value(), f.to->value()), almanac->isChecked(),
                        almanacYears(orderedYears(a.from->value(), a.to->value()))};
}

bool IcalImportCommand(QWidget* parent, THolidayList& rules, TDateMemoList& memos, int thisYear,
                       const std::string& localZone) {
    IcalLibrary* ical = icalLibrary();
    if (!ical) return false;
    const std::optional<QString> path =
        ui().openFile(FileDialogRequest{QStringLiteral("iCalendarファイルを読み込む"), kFilter, QString()});
    if (!path) return false;
    if (QFileInfo(*path).size() > kIcalMaxFileBytes) {
        showMessage(ical->icalTooLargeMessage(), messageCaption());
        return false;
    }
    const std::optional<IcalYears> range = askImportRange(parent, orderedYears(thisYear, thisYear + 1));
    if (!range) return false;
    QString error;
    const std::optional<std::string> bytes = readWholeFile(*path, kIcalMaxFileBytes, &error);
    if (!bytes) {
        showMessage(icalReadFailedMessage(*path, error), messageCaption());
        return false;
    }

    QProgressDialog progress(QStringLiteral("iCalendarファイルを読み込んでいます…"), QStringLiteral("キャンセル"), 0,
                             1000, parent);
    progress.setObjectName(QStringLiteral("IcalProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    IcalImportOptions options;
    options.fromYear = range->from;
    options.toYear = range->to;
    options.localZone = localZone;
    options.progress = [&](std::size_t done, std::size_t total) {
        progress.setValue(total ? static_cast<int>(done * 1000 / total) : 0);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    IcalImport import = ical->importIcal(*bytes, options);
    progress.close();
    if (import.status == IcalImportStatus::NotICalendar) {
        showMessage(ical->icalNotICalendarMessage(), messageCaption());
        return false;
    }
    if (import.status == IcalImportStatus::Cancelled) return false;
    const IcalMerge merge = ical->mergeIcalImport(import, memos, rules);
    showMessage(ical->icalImportMessage(import, merge), messageCaption());
    return merge.memosAdded + merge.rulesAdded > 0;
}

bool IcalExportCommand(QWidget* parent, const std::vector<const TDateMemo*>& memos,
                       const std::vector<const THolidaySet*>& rules, int thisYear, bool askNational) {
    IcalLibrary* ical = icalLibrary();
    if (!ical) return false;
    IcalExportOptions options;
    if (askNational) {
        const std::optional<ExportChoice> choice = askExportChoice(parent, orderedYears(thisYear, thisYear + 1));
        if (!choice) return false;
        if (choice->national) {
            options.nationalFrom = choice->years.from;
            options.nationalTo = choice->years.to;
        }
        if (choice->almanac) {
            options.almanacFrom = choice->almanacYears.from;
            options.almanacTo = choice->almanacYears.to;
        }
    }
    FileDialogRequest req{QStringLiteral("iCalendarファイルに書き出す"), kFilter, QString()};
    req.defaultSuffix = QStringLiteral("ics");
    const std::optional<QString> path = ui().saveFile(req);
    if (!path) return false;
    options.stamp = ical->icalStampNow();
    QString error;
    // The whole almanac range takes a few seconds to compute the first time.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = atomicReplace(*path, ical->exportIcal(memos, rules, options), &error);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        showMessage(icalWriteFailedMessage(*path, error), messageCaption());
        return false;
    }
    if (const QString leftOut = ical->icalLeftOutMessage(memos); !leftOut.isEmpty())
        showMessage(leftOut, messageCaption());
    return true;
}

}  // namespace sorvel
