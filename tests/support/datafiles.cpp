// Helpers for tests on real card data files (see datafiles.h).
#include "datafiles.h"

#include <sys/mount.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace quarzello::datafiles {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return file.readAll();
}

CardRecord recordOf(const QStringList& thirteen) {
    CardRecord record;
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = thirteen.at(i);
    record.rows = thirteen.at(11);
    record.columns = thirteen.at(12);
    return record;
}

QString expand(QString message, const QString& file, const QString& to, const QString& dir) {
    return message.replace("{file}", file)
        .replace("{from}", file)
        .replace("{to}", to)
        .replace("{dir}", dir);
}

QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> picture;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString key = base.relativeFilePath(path);
        if (info.isSymLink())
            picture.insert(key, "-> " + QFile::encodeName(info.symLinkTarget()));
        else if (info.isDir())
            picture.insert(key, "<folder>");
        else if (info.isFile())
            picture.insert(key, readBytes(path));
        else  // a pipe or a device: opening it could block
            picture.insert(key, "<special>");
    }
    return picture;
}

QList<QByteArray> numberedLines(int count, const QByteArray& prefix) {
    QList<QByteArray> lines;
    for (int i = 1; i <= count; ++i) lines << prefix + ' ' + QByteArray::number(i);
    return lines;
}

QByteArray crlf(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    return bytes;
}

FullDisk::FullDisk(const QString& folder) : folder_(folder) {
    QDir().mkpath(folder);
    const QByteArray target = QFile::encodeName(folder);
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) {
        failure_ = QStringLiteral(
                       "cannot mount a small tmpfs to fill up (%1); run the tests as "
                       "root to check the full-disk cases")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted_ = true;
}

FullDisk::~FullDisk() {
    if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

bool FullDisk::fill() {
    if (!mounted_) return false;
    QFile filler(folder_ + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size()) {
    }
    // Smaller and smaller pieces, down to the last byte.
    for (int size = 256; size > 0; size /= 2) {
        const QByteArray piece(size, 'x');
        while (filler.write(piece) == piece.size()) {
        }
    }
    return true;
}

}  // namespace quarzello::datafiles
