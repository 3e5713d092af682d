#include "schedule/schedule_rows_model.h"

#include <set>

#include <QMimeData>

#include "platform/text.h"
#include "schedule/schedule_keys.h"

namespace sorvel {

namespace {

// A row is one line: line breaks of a note's text show as blanks.
QString oneLine(const std::string& cp932) {
    QString s = toQString(cp932);
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

}  // namespace

ScheduleRowsModel::ScheduleRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ScheduleRowsModel::setNotes(const std::vector<TDateMemo*>& notes) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(notes.size());
    for (TDateMemo* m : notes) rows_.push_back(TYoteiData{m->year, m->month, m->day, m->caption, m->text, m});
    endResetModel();
}

int ScheduleRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ScheduleRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant ScheduleRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
    const TYoteiData& r = row(index.row());
    switch (index.column()) {
        case 0: return rowDateText(r.year, r.month, r.day);
        case 1: return oneLine(r.caption);
        case 2: return oneLine(r.text);
        default: return {};
    }
}

QVariant ScheduleRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case 0: return QStringLiteral("日付");
        case 1: return QStringLiteral("タイトル");
        case 2: return QStringLiteral("内容");
        default: return {};
    }
}

Qt::ItemFlags ScheduleRowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList ScheduleRowsModel::mimeTypes() const { return {QString::fromLatin1(kNotesMimeType)}; }

Qt::DropActions ScheduleRowsModel::supportedDragActions() const { return Qt::CopyAction; }

QMimeData* ScheduleRowsModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rowNumbers;
    for (const QModelIndex& i : indexes)
        if (i.isValid() && i.model() == this && i.row() < rowCount()) rowNumbers.insert(i.row());
    std::vector<DraggedNote> notes;
    for (int n : rowNumbers) {
        const TYoteiData& r = row(n);
        notes.push_back(DraggedNote{r.year, r.month, r.day, r.caption, r.text});
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kNotesMimeType), encodeDraggedNotes(notes));
    return mime;
}

}  // namespace sorvel
