#include "layout/layout_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "layout/layout_messages.h"
#include "platform/ui.h"
#include "data/note_drag.h"

namespace sorvel {

namespace {

// Beside the page: the desktop's colour of the classic window systems, a steel blue.
constexpr Rgb kBackground = 0x3A6EA5;

Qt::CursorShape qtCursor(CursorShape shape) {
    switch (shape) {
        case CursorShape::SizeWE:
            return Qt::SizeHorCursor;
        case CursorShape::SizeNS:
            return Qt::SizeVerCursor;
        case CursorShape::SizeNWSE:
            return Qt::SizeFDiagCursor;
        case CursorShape::SizeNESW:
            return Qt::SizeBDiagCursor;
        case CursorShape::Arrow:
            break;
    }
    return Qt::ArrowCursor;
}

bool carriesNotes(const QMimeData* mime) { return mime && mime->hasFormat(QString::fromLatin1(kNotesMimeType)); }

}  // namespace

// The client area: the page at its top left corner, the mouse and the drops.
class TLayoutForm::PageView : public QWidget {
public:
    PageView(TLayoutForm& form) : QWidget(&form), form_(form) {
        setObjectName(QStringLiteral("PageView"));
        setMouseTracking(true);
        setAcceptDrops(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromRgb(kBackground));
        form_.page().PresentTo(p);
    }
    void resizeEvent(QResizeEvent*) override { form_.FormResize(); }
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        form_.FormMouseDown(e->button(), pos.x(), pos.y());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint pos = e->position().toPoint();
        form_.FormMouseMove(pos.x(), pos.y());
    }
    void mouseReleaseEvent(QMouseEvent*) override { form_.FormMouseUp(); }
    void contextMenuEvent(QContextMenuEvent* e) override {
        // The menu takes the button's release: a placing chosen from the menu ends here, as a
        // release would end it.
        if (form_.edit().Mode == kEditPlacing) form_.edit().Mode = kEditIdle;
        form_.popupMenu()->popup(e->globalPos());
    }
    // Only notes from the schedule list are taken.
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (carriesNotes(e->mimeData())) e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (carriesNotes(e->mimeData())) e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override {
        if (!carriesNotes(e->mimeData())) return;
        const auto notes = readDraggedNotes(*e->mimeData());
        if (!notes) return;
        const QPoint pos = e->position().toPoint();
        if (DropNotes(form_.page(), *notes, pos.x(), pos.y())) {
            form_.edit().Mode = kEditIdle;
            e->acceptProposedAction();
            form_.Repaint();
        }
    }

private:
    TLayoutForm& form_;
};

TLayoutForm::TLayoutForm(QWidget* owner) : QMainWindow(owner, Qt::Window) {
    setObjectName(QStringLiteral("TLayoutForm"));
    setWindowTitle(QStringLiteral("レイアウトウィンドウ"));
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(12);
    setFont(f);
    page_ = std::make_unique<TLayoutPaper>();
    page_->Owner = this;
    page_->Surround = kBackground;
    edit_ = std::make_unique<LayoutEdit>(*page_);
    buildMenus();
    view_ = new PageView(*this);
    setCentralWidget(view_);
    move(0, 0);
    resize(700, 450);
}

TLayoutForm::~TLayoutForm() = default;

void TLayoutForm::buildMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TLayoutForm::*handler)(),
                       QKeySequence shortcut = {}) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    QMenu* file = menu("File1", QStringLiteral("ファイル(&F)"));
    item(file, "NewFile", QStringLiteral("新規(&N)"), &TLayoutForm::NewFileClick, QKeySequence(Qt::CTRL | Qt::Key_N));
    item(file, "LaOpen", QStringLiteral("開く(&O)..."), &TLayoutForm::LaOpenClick, QKeySequence(Qt::CTRL | Qt::Key_O));
    item(file, "LaSave", QStringLiteral("上書き保存(&S)"), &TLayoutForm::LaSaveClick, QKeySequence(Qt::CTRL | Qt::Key_S));
    item(file, "LaSaveAs", QStringLiteral("名前をつけて保存(&A)..."), &TLayoutForm::LaSaveAsClick);
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    item(file, "SetPaper", QStringLiteral("用紙設定(&T)"), &TLayoutForm::SetPaperClick);
    item(file, "Print1", QStringLiteral("印刷(&P)"), &TLayoutForm::Print1Click, QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator()->setObjectName(QStringLiteral("N3"));
    item(file, "Close1", QStringLiteral("閉じる(&X)"), &TLayoutForm::Close1Click);
    QMenu* editMenu = menu("Edit1", QStringLiteral("編集(&E)"));
    undo_ = item(editMenu, "Undo1", QStringLiteral("元に戻す(&U)"), &TLayoutForm::Undo1Click,
                 QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo_->setEnabled(false);
    redo_ = item(editMenu, "Redo1", QStringLiteral("やり直し(&R)"), &TLayoutForm::Redo1Click);
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo_->setEnabled(false);
    item(editMenu, "Setting", QStringLiteral("設定(&S)"), &TLayoutForm::SettingClick);
    item(editMenu, "Delete1", QStringLiteral("削除(&D)"), &TLayoutForm::Delete1Click);
    QMenu* obj = menu("Obj1", QStringLiteral("オブジェクト(&O)"));
    item(obj, "Calender1", QStringLiteral("カレンダー(&C)"), &TLayoutForm::Calender1Click);
    item(obj, "Picture1", QStringLiteral("ピクチャー(&P)"), &TLayoutForm::Picture1Click);
    item(obj, "Text1", QStringLiteral("テキスト(&T)"), &TLayoutForm::Text1Click);
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    item(popupMenu_, "Setting2", QStringLiteral("設定(&S)..."), &TLayoutForm::SettingClick);
    item(popupMenu_, "Delete2", QStringLiteral("削除(&D)"), &TLayoutForm::Delete1Click);
}

int TLayoutForm::ApplyGeometry(const TLayoutSet& set) {
    move(set.Left, set.Top);
    resize(set.Width, set.Height);
    layOutForClient();
    return 1;
}

void TLayoutForm::StoreRect(TLayoutSet& set) const {
    set.Top = y();
    set.Left = x();
    set.Width = width();
    set.Height = height();
}

int TLayoutForm::StoreGeometryAndAskToSave(TLayoutSet& set) {
    StoreRect(set);
    return FormCloseQuery() ? 1 : 0;
}

bool TLayoutForm::FormCloseQuery() {
    if (page_->QuerySave() != 1) return false;
    // The page was reset: it is fitted to the window again should the window stay.
    layOutForClient();
    return true;
}

void TLayoutForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TLayoutForm::layOutForClient() {
    // A client of no size (not yet shown, or collapsed) has nothing to lay out yet.
    if (view_->width() > 0 && view_->height() > 0) page_->LayoutFor(view_->width(), view_->height());
}

void TLayoutForm::Repaint() {
    // Every edit ends with a repaint: the undo and redo items follow the page's history here.
    undo_->setEnabled(page_->history.CanUndo());
    redo_->setEnabled(page_->history.CanRedo());
    view_->update();
}

void TLayoutForm::NewFileClick() {
    page_->QuerySave();
    layOutForClient();
    Repaint();
}

void TLayoutForm::LaOpenClick() {
    page_->OpenLayout();
    layOutForClient();
    Repaint();
}

void TLayoutForm::LaSaveClick() {
    page_->SaveLayout();
    Repaint();
}

void TLayoutForm::LaSaveAsClick() {
    page_->SaveLayoutAs();
    Repaint();
}

void TLayoutForm::SetPaperClick() {
    page_->ChangePaper();
    layOutForClient();
    Repaint();
}

void TLayoutForm::Print1Click() {
    page_->PrintLayout();
    Repaint();
}

void TLayoutForm::Close1Click() { close(); }

void TLayoutForm::Undo1Click() {
    // The object being moved or resized would be replaced under the mouse.
    if (edit_->Mode != kEditIdle && edit_->Mode != kEditPlacing) return;
    edit_->Mode = kEditIdle;
    page_->Undo();
    Repaint();
}

void TLayoutForm::Redo1Click() {
    if (edit_->Mode != kEditIdle && edit_->Mode != kEditPlacing) return;
    edit_->Mode = kEditIdle;
    page_->Redo();
    Repaint();
}

void TLayoutForm::SettingClick() {
    if (page_->EditSelected() == 1)
        Repaint();
    else
        showMessage(nothingToSetMessage(), messageCaption());
}

void TLayoutForm::Delete1Click() {
    const MsgAnswer a = ui().messageBox(deleteSelectedQuestion(), messageCaption(), MsgButtons::YesNo);
    if (a == MsgAnswer::No) return;
    if (page_->DeleteSelected() == 1)
        Repaint();
    else
        showMessage(nothingToDeleteMessage(), messageCaption());
}

void TLayoutForm::Calender1Click() { edit_->ChooseKind(kObjCalendar); }
void TLayoutForm::Picture1Click() { edit_->ChooseKind(kObjPicture); }
void TLayoutForm::Text1Click() { edit_->ChooseKind(kObjText); }

void TLayoutForm::FormKeyDown(int key) {
    if (key != Qt::Key_Space) return;
    page_->CycleSelection();
    Repaint();
}

void TLayoutForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        FormKeyDown(event->key());
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TLayoutForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
    edit_->MouseDown(button == Qt::LeftButton, x, y);
    Repaint();
}

void TLayoutForm::FormMouseMove(int x, int y) {
    view_->setCursor(qtCursor(edit_->MouseMove(x, y)));
    Repaint();
}

void TLayoutForm::FormMouseUp() {
    edit_->MouseUp();
    Repaint();
}

void TLayoutForm::FormResize() {
    layOutForClient();
    Repaint();
}

}  // namespace sorvel
