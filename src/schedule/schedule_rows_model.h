#pragma once
// The rows of the schedule list: one per note, with the columns "日付", "タイトル", "内容".
// A row keeps its own copy of the note's date and texts, so painting never reads the note; the
// note itself is only reached through entry(), which the window calls on notes it knows alive.
#include <optional>
#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "data/date_data.h"
#include "data/note_drag.h"

class QMimeData;

namespace sorvel {

// One row of the list.
struct TYoteiData {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::string caption;       // CP932
    std::string text;          // CP932
    TDateMemo* entry = nullptr;  // not owned
};

class ScheduleRowsModel : public QAbstractTableModel {
public:
    explicit ScheduleRowsModel(QObject* parent = nullptr);

    // Replaces every row with one per note, in the given order.
    void setNotes(const std::vector<TDateMemo*>& notes);
    const TYoteiData& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    const std::vector<TYoteiData>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    std::vector<TYoteiData> rows_;
};

}  // namespace sorvel
