#include "schedule/schedule_tree_model.h"

#include "calendar/day_number.h"
#include "schedule/schedule_rows_model.h"

namespace sorvel {

ScheduleTreeModel::ScheduleTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ScheduleTreeModel::setYears(const YearRange& years) {
    beginResetModel();
    years_ = years;
    endResetModel();
}

// Bits 0–1 level, 2–17 year row, 18–21 month row, 22–26 day row.
quintptr ScheduleTreeModel::pack(const Node& n) {
    return quintptr(n.level) | quintptr(n.yearRow) << 2 | quintptr(n.monthRow) << 18 | quintptr(n.dayRow) << 22;
}

ScheduleTreeModel::Node ScheduleTreeModel::unpack(quintptr id) {
    return Node{int(id & 0x3), int(id >> 2 & 0xFFFF), int(id >> 18 & 0xF), int(id >> 22 & 0x1F)};
}

QModelIndex ScheduleTreeModel::indexOf(const Node& n) const {
    const int row = n.level == 0 ? 0 : n.level == 1 ? n.yearRow : n.level == 2 ? n.monthRow : n.dayRow;
    return createIndex(row, 0, pack(n));
}

int ScheduleTreeModel::childCount(const Node& n) const {
    switch (n.level) {
        case 0: return years_.last - years_.first + 1;
        case 1: return 12;
        case 2: return daysInMonth(years_.first + n.yearRow, n.monthRow + 1);
        default: return 0;
    }
}

QModelIndex ScheduleTreeModel::rootIndex() const { return indexOf(Node{}); }

QModelIndex ScheduleTreeModel::yearIndex(std::int32_t year) const {
    if (year < years_.first || year > years_.last) return {};
    return indexOf(Node{1, year - years_.first, 0, 0});
}

QModelIndex ScheduleTreeModel::monthIndex(std::int32_t year, int month) const {
    const QModelIndex y = yearIndex(year);
    return y.isValid() ? index(month - 1, 0, y) : QModelIndex();
}

QStringList ScheduleTreeModel::textsUpward(const QModelIndex& index) const {
    QStringList texts;
    for (QModelIndex i = index; i.isValid(); i = i.parent()) texts << i.data().toString();
    return texts;
}

QModelIndex ScheduleTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 ? rootIndex() : QModelIndex();
    if (parent.model() != this) return {};
    Node n = unpack(parent.internalId());
    if (row >= childCount(n)) return {};
    switch (n.level) {
        case 0: n.yearRow = row; break;
        case 1: n.monthRow = row; break;
        case 2: n.dayRow = row; break;
        default: return {};
    }
    ++n.level;
    return indexOf(n);
}

QModelIndex ScheduleTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    Node n = unpack(child.internalId());
    if (n.level == 0) return {};
    switch (n.level) {
        case 3: n.dayRow = 0; break;
        case 2: n.monthRow = 0; break;
        case 1: n.yearRow = 0; break;
        default: break;
    }
    --n.level;
    return indexOf(n);
}

int ScheduleTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return childCount(unpack(parent.internalId()));
}

int ScheduleTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant ScheduleTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const Node n = unpack(index.internalId());
    switch (n.level) {
        case 0: return QStringLiteral("日付");
        case 1: return QStringLiteral("%1年").arg(years_.first + n.yearRow);
        case 2: return QStringLiteral("%1月").arg(n.monthRow + 1);
        default: return QStringLiteral("%1日").arg(n.dayRow + 1);
    }
}

Qt::ItemFlags ScheduleTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (unpack(index.internalId()).level == 3) f |= Qt::ItemNeverHasChildren;
    return f;
}

QStringList ScheduleTreeModel::mimeTypes() const { return {QString::fromLatin1(kNotesMimeType)}; }

Qt::DropActions ScheduleTreeModel::supportedDropActions() const { return Qt::CopyAction; }

}  // namespace sorvel
