// quarzello-bare-window: the floors of the start-up benchmark, a Qt window of the main window's
// size and flags with nothing in it; with --label, with one line of text in the window's face,
// which is what any window that shows text pays for the font system.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFixedSize(461, 301);
    if (QCoreApplication::arguments().contains(QStringLiteral("--label"))) {
        auto* label = new QLabel(QStringLiteral("Quarzello del Camperista"), &window);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(8.25);
        label->setFont(font);
        label->move(10, 10);
    }
    window.show();
    return app.exec();
}
