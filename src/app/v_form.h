#pragma once
// A form with one virtual operation: redraw what it shows.
#include <QWidget>

namespace sorvel {

class TVForm : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void RefreshView() {}
};

}  // namespace sorvel
