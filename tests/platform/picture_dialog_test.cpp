// The Qt file dialogs behind the ui service: the picture dialog's preview and an open dialog
// that takes a new name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/files.h"
#include "platform/ui_qt.h"
#include "render/picture_reader.h"

using namespace sorvel;

namespace {

class QtDialogs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString picture(const char* name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(QtDialogs, PicturePreviewShowsTheSelectedPictureAndRefusesAHostileOne) {
    const QString good = picture("wide.bmp", 80, 40);
    // The same picture cut in the middle of its rows.
    const std::string bytes = readWholeFile(good).value_or("");
    const QString cut = dir.filePath("cut.bmp");
    ASSERT_TRUE(atomicReplace(cut, bytes.substr(0, bytes.size() / 2)));

    QFileDialog dialog;
    setUpPictureDialog(dialog, FileDialogRequest{QStringLiteral("壁紙を選んでください"),
                                                 QStringLiteral("グラフィック (bmp/jpg)|*.bmp;*.jpg"), good},
                       decodePicturePreview);
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("壁紙を選んでください"));
    // 80 × 40 scaled into the preview's inner square, keeping its shape.
    const int side = PicturePreview::kSide - 2 * preview->frameWidth();
    EXPECT_EQ(preview->pixmap().size(), QSize(side, side / 2));
    EXPECT_EQ(preview->pixmap().toImage().pixel(side / 2, side / 4), qRgb(0, 0, 255));

    emit dialog.currentChanged(cut);
    EXPECT_TRUE(preview->pixmap().isNull());
    EXPECT_EQ(preview->text(), QStringLiteral("プレビューできません"));
    emit dialog.currentChanged(dir.path());  // a folder: nothing to show
    EXPECT_TRUE(preview->pixmap().isNull());
    EXPECT_TRUE(preview->text().isEmpty());
}

TEST_F(QtDialogs, AnOpenDialogForANewFileTakesANameNotYetOnDisk) {
    const QString fresh = dir.filePath(QStringLiteral("二冊目.dat"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        seen = true;
        d->selectFile(fresh);
        // A dialog that wants an existing file says so in a box of its own: closed here, so that
        // the refusal fails the test rather than hanging it.
        QTimer::singleShot(50, [d] {
            if (QWidget* box = QApplication::activeModalWidget(); box && box != d) box->close();
        });
        static_cast<QDialog*>(d)->accept();
        if (d->isVisible()) d->reject();
    });
    QtUi qt;
    const auto chosen = qt.openFile(FileDialogRequest{QStringLiteral("日付データーファイルを選んでください"),
                                                      QStringLiteral("日付データーファイル (*.dat)|*.dat"),
                                                      dir.filePath("Sorvel.dat"), true});
    EXPECT_TRUE(seen);
    EXPECT_EQ(chosen, fresh);
}
