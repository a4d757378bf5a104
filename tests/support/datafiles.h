// Helpers for tests on real card data files: bytes in and out, a byte-exact picture of a folder
// tree to compare before and after a failure, and a tiny tmpfs that runs out of space.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTest>

#include "core/cardrecord.h"

namespace quarzello::datafiles {

bool writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// "<prefix> 1", "<prefix> 2", ... up to count, as file lines.
QList<QByteArray> numberedLines(int count, const QByteArray& prefix = "valore");
// The lines, every one ended by CR LF.
QByteArray crlf(const QList<QByteArray>& lines);

// The record of the thirteen lines of a card data file, as they are.
CardRecord recordOf(const QStringList& thirteen);

// Expected messages name their files with placeholders: {file}, {from}, {to}, {dir}.
QString expand(QString message, const QString& file, const QString& to = {},
               const QString& dir = {});

// Every entry under root, by relative path: a file's bytes, "<folder>" for a folder, "-> target"
// for a symbolic link. Two equal pictures mean nothing under root changed.
QMap<QString, QByteArray> snapshot(const QString& root);

// A tmpfs of a few KiB mounted on a folder for the life of the object, then filled up so that
// every further write fails with "No space left on device". Mounting needs root.
class FullDisk {
  public:
    explicit FullDisk(const QString& folder);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Empty when mounted; otherwise why not (to skip the test with).
    QString failure() const { return failure_; }
    // Takes up all the space left; files written before this stay readable.
    bool fill();

  private:
    QString folder_;
    QString failure_;
    bool mounted_ = false;
};

}  // namespace quarzello::datafiles

namespace quarzello {
// How Qt Test shows a record in a failed comparison.
inline char* toString(const CardRecord& record) {
    QStringList values(record.fields.begin(), record.fields.end());
    values << record.rows << record.columns;
    return QTest::toString(values.join(QStringLiteral(" | ")));
}
}  // namespace quarzello
