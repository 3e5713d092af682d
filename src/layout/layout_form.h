#pragma once
// "レイアウトウィンドウ": one layout page scaled to the window, composed with the mouse. The
// menus carry the file commands, paper setup, printing and the objects to place; notes dragged
// from the schedule list become a text object. The mouse editing itself is LayoutEdit's.
#include <memory>

#include <QMainWindow>

#include "layout/layout_edit.h"
#include "layout/layout_paper.h"
#include "settings/sorvel_set.h"

class QAction;
class QMenu;

namespace sorvel {

class TLayoutForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TLayoutForm(QWidget* owner);
    ~TLayoutForm() override;

    // The window settings of the "LayoutSet" section.
    int ApplyGeometry(const TLayoutSet& set);
    // Stores the rectangle, then asks the close query; its answer.
    int StoreGeometryAndAskToSave(TLayoutSet& set);
    // Only the rectangle, with no question (the session ends).
    void StoreRect(TLayoutSet& set) const;
    // The window may close only when the page may be discarded.
    bool FormCloseQuery();

    TLayoutPaper& page() { return *page_; }
    LayoutEdit& edit() { return *edit_; }
    QWidget* pageView() const { return view_; }
    QMenu* popupMenu() const { return popupMenu_; }

    // Menu commands.
    void NewFileClick();
    void LaOpenClick();
    void LaSaveClick();
    void LaSaveAsClick();
    void SetPaperClick();
    void Print1Click();
    void Close1Click();
    // Takes back the last edit of the page ("元に戻す(&U)", Ctrl+Z); not while a drag is under way.
    void Undo1Click();
    // Does the last undone edit again ("やり直し(&R)", Ctrl+Shift+Z or Ctrl+Y); not during a drag.
    void Redo1Click();
    void SettingClick();
    void Delete1Click();
    void Calender1Click();
    void Picture1Click();
    void Text1Click();
    // Window events, in client coordinates of the page view.
    void FormKeyDown(int key);
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp();
    void FormResize();
    // Paints the page (and the rubber band) into the view.
    void Repaint();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class PageView;
    void buildMenus();
    void layOutForClient();

    std::unique_ptr<TLayoutPaper> page_;
    std::unique_ptr<LayoutEdit> edit_;
    QWidget* view_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
};

}  // namespace sorvel
