// The tree and row models under Qt's model checker, and what they show.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QMimeData>

#include "platform/text.h"
#include "schedule/schedule_rows_model.h"
#include "schedule/schedule_tree_model.h"

using namespace sorvel;

TEST(ScheduleTreeModel, RootYearsMonthsAndDaysOfEachMonth) {
    ScheduleTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setYears({1899, 2001});
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString(), QStringLiteral("日付"));
    ASSERT_EQ(model.rowCount(root), 103);
    const QModelIndex y2000 = model.index(101, 0, root);
    EXPECT_EQ(y2000.data().toString(), QStringLiteral("2000年"));
    ASSERT_EQ(model.rowCount(y2000), 12);
    const QModelIndex feb2000 = model.index(1, 0, y2000);
    EXPECT_EQ(feb2000.data().toString(), QStringLiteral("2月"));
    EXPECT_EQ(model.rowCount(feb2000), 29);
    EXPECT_EQ(model.rowCount(model.index(1, 0, model.index(1, 0, root))), 28);  // 1900年2月
    EXPECT_EQ(model.textsUpward(model.index(2, 0, model.index(2, 0, y2000))),
              (QStringList{QStringLiteral("3日"), QStringLiteral("3月"), QStringLiteral("2000年"), QStringLiteral("日付")}));
}

TEST(ScheduleRowsModel, ThreeColumnsOfDateCaptionAndOneLineTextDraggedAsNotes) {
    TDateMemo a{2001, 5, 3, sjis("本社\r\n三階"), sjis("会議")};
    TDateMemo b{1999, 12, 31, "x", "<y>"};
    ScheduleRowsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setNotes({&a, &b});
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 3);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), QStringList({"日付", "タイトル", "内容"})[c]);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("2001年5月3日"));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("会議"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("本社 三階"));
    EXPECT_EQ(model.row(1).entry, &b);

    std::unique_ptr<QMimeData> mime(model.mimeData({model.index(1, 2), model.index(0, 0), model.index(1, 0)}));
    ASSERT_TRUE(mime->hasFormat(QStringLiteral("application/x-sorvel-notes")));
    const auto dragged = readDraggedNotes(*mime);
    ASSERT_TRUE(dragged);
    EXPECT_EQ(*dragged, (std::vector<DraggedNote>{{2001, 5, 3, sjis("会議"), sjis("本社\r\n三階")}, {1999, 12, 31, "<y>", "x"}}));

    // Cut short or claiming more notes than it holds: not notes.
    QByteArray bytes = mime->data(QStringLiteral("application/x-sorvel-notes"));
    mime->setData(QStringLiteral("application/x-sorvel-notes"), bytes.left(bytes.size() - 3));
    EXPECT_FALSE(readDraggedNotes(*mime));
    bytes[7] = '\x7f';  // the count's low byte
    mime->setData(QStringLiteral("application/x-sorvel-notes"), bytes);
    EXPECT_FALSE(readDraggedNotes(*mime));
}
