// The plain timing harness: runs a figure and its floor in turn, keeps every run, reports
// medians, and collects the rows of the results table.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

// One measured quantity: all its runs, in the unit it was measured in.
struct Series {
    std::vector<double> runs;
    double median() const;
    double min() const;
    double max() const;
};

// Milliseconds taken by f.
double timeMs(const std::function<void()>& f);

// Runs value and floor `runs` times each, alternating which goes first, after `warmups`
// untimed runs of each: slow drifts of the machine then weigh on both alike. Each function
// returns the quantity it measured (usually timeMs of its own work).
void interleave(int warmups, int runs, const std::function<double()>& value,
                const std::function<double()>& floor, Series& valueSeries, Series& floorSeries);

struct ResultRow {
    QString figure;
    QString value;    // with unit
    QString floor;    // with unit
    QString ratio;    // as the target reads it
    QString target;   // e.g. "<= 1.25"; "-" for figures shown for information only
    QString verdict;  // PASS, MISS or info
};

// A row for "value / floor <= limit"; limit <= 0 makes it an information row.
ResultRow ratioRow(const QString& figure, double value, double floor, const QString& unit,
                   int decimals, double limit);

// Prints one line of measurements in detail (median, min, max, runs) for the log.
void printSeries(const QString& name, const Series& s, const QString& unit);

// Prints the rows as an aligned table or, when tsvPath is given, appends them to that file, tab
// separated, for a caller that adds figures of its own.
void printTable(const std::vector<ResultRow>& rows, const QString& tsvPath);

// Stops the run with a message: a benchmark that did not do its work has no figure.
[[noreturn]] void fail(const QString& why);
