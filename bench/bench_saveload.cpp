// Save then Load of one record through the program's own file code (the default data file
// written by MemorizzaDati and read back by CaricaDatiDiDefault), against writing and reading
// the same 13 lines with a plain QFile; and, for information, against a plain write that is as
// crash-safe as the program's own.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "benchmarks.h"
#include "benchsupport.h"
#include "data/cardfile.h"
#include "data/datalocation.h"
#include "flows/cardfilecommands.h"
#include "samples.h"
#include "scriptedprompts.h"

using namespace quarzello;

namespace {

QStringList linesOf(const CardRecord& record) {
    QStringList lines(record.fields.begin(), record.fields.end());
    lines << record.rows << record.columns;
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

// The same, but written the way a file that must survive a crash is written: a temporary file
// synced to disk and renamed over the old one.
void safeWrite(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) fail(QStringLiteral("cannot write ") + path);
    for (const QString& line : lines) {
        file.write(line.toLatin1());
        file.write("\r\n", 2);
    }
    if (!file.commit()) fail(QStringLiteral("cannot write ") + path);
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

    const CardRecord original = crowdedRecord(4, 8);
    ScriptedPrompts prompts;
    CardFileCommands files(folder.path(), besideProgram(folder.path()), prompts);
    const QStringList lines = linesOf(original);

    const auto program = [&] {
        std::optional<CardRecord> back;
        const double ms = timeMs([&] {
            if (files.MemorizzaDati(original))
                back = files.CaricaDatiDiDefault(files.NomeFile(), CardRecord{});
            if (!back) fail(QStringLiteral("Save or Load failed: ") + prompts.texts().join(' '));
        });
        if (*back != original) fail(QStringLiteral("Load did not give back the record"));
        return ms;
    };
    const auto plain = [&](bool safe) {
        QStringList back;
        const double ms = timeMs([&] {
            if (safe)
                safeWrite(plainPath, lines);
            else
                plainWrite(plainPath, lines);
            back = plainRead(plainPath);
        });
        if (back != lines) fail(QStringLiteral("the plain file did not give back the lines"));
        return ms;
    };

    // The three take turns, each round starting with another.
    Series value, floor, safeFloor;
    const std::function<void(bool)> runs[3] = {[&](bool keep) {
                                                   const double ms = program();
                                                   if (keep) value.runs.push_back(ms);
                                               },
                                               [&](bool keep) {
                                                   const double ms = plain(false);
                                                   if (keep) floor.runs.push_back(ms);
                                               },
                                               [&](bool keep) {
                                                   const double ms = plain(true);
                                                   if (keep) safeFloor.runs.push_back(ms);
                                               }};
    constexpr int kWarmups = 5;
    for (int i = 0; i < kWarmups + counts.saveLoads; ++i)
        for (int j = 0; j < 3; ++j) runs[(i + j) % 3](i >= kWarmups);

    printSeries(QStringLiteral("MemorizzaDati + CaricaDatiDiDefault"), value, QStringLiteral("ms"));
    printSeries(QStringLiteral("plain QFile write + read"), floor, QStringLiteral("ms"));
    printSeries(QStringLiteral("QSaveFile write (synced, renamed) + QFile read"), safeFloor,
                QStringLiteral("ms"));

    rows.push_back(ratioRow(QStringLiteral("Save then Load of a record"), value.median() * 1000,
                            floor.median() * 1000, QStringLiteral("us"), 0, 2.0));
    rows.push_back(ratioRow(QStringLiteral("Save then Load against a crash-safe write"),
                            value.median() * 1000, safeFloor.median() * 1000, QStringLiteral("us"),
                            0, 0));
}
