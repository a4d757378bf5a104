// The benchmarks of quarzello-bench, each with its floor.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <vector>

#include "harness.h"

// How many timed runs each benchmark makes (quick mode cuts them down for a smoke run).
struct RunCounts {
    int startupProcesses = 15;
    int startupInProcess = 40;
    int printJobs = 21;
    int manyPrints = 1000;
    int saveLoads = 301;
    int memberLists = 7;
    int previews = 101;
};

// The child side of the start-up benchmark: "window FOLDER" or "bare", from main() on.
int runStartupChild(const QStringList& args, const QElapsedTimer& sinceMain);

// Start-up time and peak memory, each start in a new process of this program; also the window
// alone in a running application, for information.
void benchStartup(const QString& self, const RunCounts& counts, std::vector<ResultRow>& rows);
// One sheet planned and drawn (drawSheet) on a PDF file against a bare QPainter drawing the same
// strings and marks.
void benchPrintJob(const RunCounts& counts, std::vector<ResultRow>& rows);
// A 200-member list into one PDF, per member, against the print job's time for one sheet.
void benchMemberList(const RunCounts& counts, std::vector<ResultRow>& rows);
// The installed catalogue read against its files' bytes alone; a print job on Avery C32011-10
// against the plain 4 x 8 sheet's.
void benchStock(const RunCounts& counts, std::vector<ResultRow>& rows);
// A 2 x 6 sheet's print job with a QR code on every card against the same sheet without, in time
// and in the PDF's size.
void benchQr(const RunCounts& counts, std::vector<ResultRow>& rows);
// The 200-member list, 2 x 6, with a QR code on every card against the same without, per member.
void benchListWithQr(const RunCounts& counts, std::vector<ResultRow>& rows);
// A 2 x 5 sheet printed on both sides, its back with an emblem and three lines, against the same
// sheet on one side; the emblem's decoding timed apart.
void benchBack(const RunCounts& counts, std::vector<ResultRow>& rows);
// Save then Load through the card file code against plain QFile.
void benchSaveLoad(const RunCounts& counts, std::vector<ResultRow>& rows);
// The preview's redraw of a 4 x 8 sheet against one frame of the screen.
void benchPreview(const RunCounts& counts, std::vector<ResultRow>& rows);
