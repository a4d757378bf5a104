// Save then Load of one record through the program's own file code (the default data file
// written by MemorizzaDati and read back by CaricaDatiDiDefault), against writing and reading
// the same 13 lines with a plain QFile.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>

#include "benchmarks.h"
#include "benchsupport.h"
#include "data/cardfile.h"
#include "data/cardfilecommands.h"

namespace {

// The window's record, without the window.
class HeldRecord final : public RecordAccess {
  public:
    CardRecord held;
    CardRecord record() const override { return held; }
    void setRecord(const CardRecord& record) override { held = record; }
};

QStringList linesOf(const CardRecord& record) {
    QStringList lines(record.campi.begin(), record.campi.end());
    lines << record.righe << record.colonne;
    return lines;
}

void plainWrite(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("cannot write ") + path);
    for (const QString& line : lines) {
        file.write(line.toLatin1());
        file.write("\r\n", 2);
    }
    file.close();
}

QStringList plainRead(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("cannot read ") + path);
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) lines << QString::fromLatin1(line.chopped(1));
    }
    return lines;
}

}  // namespace

void benchSaveLoad(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nSave then Load of one record (13 lines)\n");
    QTemporaryDir folder;
    if (!folder.isValid()) fail(QStringLiteral("no temporary folder"));
    const QString plainPath = QDir(folder.path()).filePath(QStringLiteral("plain.qdf"));
    std::printf("  folder %s\n", qPrintable(folder.path()));

    const CardRecord original = fullRecord(4, 8);
    HeldRecord window;
    window.held = original;
    DefaultPrompts prompts;
    DatiBuffer Dati;
    CardFileCommands files(folder.path(), window, prompts, Dati);
    const QStringList lines = linesOf(original);

    Series value, floor;
    interleave(
        5, counts.saveLoads,
        [&] {
            const double ms = timeMs([&] {
                if (!files.MemorizzaDati() || !files.CaricaDatiDiDefault(files.NomeFile()))
                    fail(QStringLiteral("Save or Load failed: ") + prompts.texts.join(' '));
            });
            if (window.held != original) fail(QStringLiteral("Load did not give back the record"));
            return ms;
        },
        [&] {
            QStringList back;
            const double ms = timeMs([&] {
                plainWrite(plainPath, lines);
                back = plainRead(plainPath);
            });
            if (back != lines) fail(QStringLiteral("the plain file did not give back the lines"));
            return ms;
        },
        value, floor);
    printSeries(QStringLiteral("MemorizzaDati + CaricaDatiDiDefault"), value, QStringLiteral("ms"));
    printSeries(QStringLiteral("plain QFile write + read"), floor, QStringLiteral("ms"));

    rows.push_back(ratioRow(QStringLiteral("Save then Load of a record"), value.median() * 1000,
                            floor.median() * 1000, QStringLiteral("us"), 0, 2.0));
}
