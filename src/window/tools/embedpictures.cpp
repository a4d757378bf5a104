// Build-time tool: turns the window's pictures (PNG files) into a header of raw pixels, so that
// the program shows them without decoding a PNG, and without Qt looking through its picture
// format plugins, on the way to its first paint.
//   quarzello-embed-pictures OUTPUT.h NAME=PICTURE.png...
#include <QFile>
#include <QImage>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.h NAME=PICTURE.png...\n", argv[0]);
        return 2;
    }
    QString header;
    QTextStream out(&header);
    out << "// Made by quarzello-embed-pictures from the PNG files in resources/: do not edit.\n"
           "#pragma once\n\n#include <QtGlobal>\n\nnamespace quarzello::pictures {\n";
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const QImage image =
            QImage(argument.section(QLatin1Char('='), 1)).convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        out << "\ninline constexpr int " << name << "Width = " << image.width() << ";\n"
            << "inline constexpr int " << name << "Height = " << image.height() << ";\n"
            << "// ARGB32, row by row.\nalignas(4) inline constexpr uchar " << name << "[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < image.width() * 4; ++x)
                out << (x % 16 ? " " : "\n    ") << row[x] << ',';
        }
        out << "\n};\n";
    }
    out << "\n}  // namespace quarzello::pictures\n";
    out.flush();
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(header.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
