#pragma once
// The schedule list's tree of dates: the root "日付", the years under it, the twelve months of
// each year and the days of each month. Nothing is stored per node: a node's place is packed
// into its index, so a tree over thousands of years costs only what the view lays out.
#include <QAbstractItemModel>
#include <QStringList>

#include "schedule/schedule_keys.h"

namespace sorvel {

class ScheduleTreeModel : public QAbstractItemModel {
public:
    explicit ScheduleTreeModel(QObject* parent = nullptr);

    // Replaces the tree with one over the given years.
    void setYears(const YearRange& years);
    const YearRange& years() const { return years_; }

    QModelIndex rootIndex() const;
    QModelIndex yearIndex(std::int32_t year) const;
    QModelIndex monthIndex(std::int32_t year, int month) const;
    // The node's text and those of its parents up to the root, nearest first.
    QStringList textsUpward(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Notes dragged from the list may be dropped on any node; the window does the moving.
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;

private:
    // Level 0 root, 1 year, 2 month, 3 day; rows of the year, month and day among their siblings.
    struct Node {
        int level = 0;
        int yearRow = 0;
        int monthRow = 0;
        int dayRow = 0;
    };
    static quintptr pack(const Node& n);
    static Node unpack(quintptr id);
    QModelIndex indexOf(const Node& n) const;
    int childCount(const Node& n) const;

    YearRange years_{1, 1};
};

}  // namespace sorvel
