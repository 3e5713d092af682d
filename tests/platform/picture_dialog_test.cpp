// The Qt file dialogs behind the ui service: the picture preview and a new file's name.
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

TEST(QtDialogs, PicturePreviewShowsTheSelectedPictureAndRefusesACutOne) {
    QTemporaryDir dir;
    const QString good = dir.filePath("wide.bmp"), cut = dir.filePath("cut.bmp");
    QImage blue(80, 40, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(good, "BMP"));
    ASSERT_TRUE(atomicReplace(cut, readWholeFile(good)->substr(0, 3000)));
    QFileDialog dialog;
    setUpPictureDialog(dialog, FileDialogRequest{"t", "b|*.bmp", good}, decodePicturePreview);
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("PicturePreview"));
    ASSERT_NE(preview, nullptr);
    const int side = PicturePreview::kSide - 2 * preview->frameWidth();  // 80 × 40 kept 2:1
    EXPECT_EQ(preview->pixmap().size(), QSize(side, side / 2));
    EXPECT_EQ(preview->pixmap().toImage().pixel(side / 2, side / 4), qRgb(0, 0, 255));
    emit dialog.currentChanged(cut);
    EXPECT_TRUE(preview->pixmap().isNull());
    EXPECT_EQ(preview->text(), QStringLiteral("プレビューできません"));
}

TEST(QtDialogs, AnOpenDialogForANewFileTakesANameNotYetOnDisk) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("二冊目.dat"));
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->selectFile(fresh);
        // A dialog that wants an existing file says so in a box: closed, so the test fails, not hangs.
        QTimer::singleShot(50, [d] {
            if (QWidget* box = QApplication::activeModalWidget(); box && box != d) box->close();
        });
        static_cast<QDialog*>(d)->accept();
        if (d->isVisible()) d->reject();
    });
    EXPECT_EQ(QtUi().openFile(FileDialogRequest{"t", "d|*.dat", dir.path(), true}), fresh);
}
