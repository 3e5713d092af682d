// The yardstick for the calendar's start-up: the least a Qt Widgets program does to show the same
// thing — one frameless window of the calendar's size with one line of Japanese in IPA Gothic on
// the calendar's background colour. bench/startup.sh starts it in turn with the calendar.
//
//   bare_window <width> <height>
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdlib>

namespace {

class BareWindow : public QWidget {
public:
    BareWindow() {
        setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
        setWindowTitle(QStringLiteral("bare window"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
        QFont font(QStringLiteral("IPAGothic"));
        font.setPixelSize(16);
        painter.setFont(font);
        painter.drawText(QPoint(8, 24), QStringLiteral("2026年12月 日月火水木金土"));
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareWindow window;
    window.resize(argc > 2 ? std::atoi(argv[1]) : 320, argc > 2 ? std::atoi(argv[2]) : 480);
    window.show();
    return app.exec();
}
