// The timing harness and the results table.
#include "harness.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
void appendRows(const std::vector<ResultRow>& rows, const QString& tsvPath);
}

double Series::median() const {
    if (runs.empty()) return 0;
    std::vector<double> sorted = runs;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

double Series::min() const {
    return runs.empty() ? 0 : *std::min_element(runs.begin(), runs.end());
}
double Series::max() const {
    return runs.empty() ? 0 : *std::max_element(runs.begin(), runs.end());
}

double timeMs(const std::function<void()>& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1e6;
}

void interleave(int warmups, int runs, const std::function<double()>& value,
                const std::function<double()>& floor, Series& valueSeries, Series& floorSeries) {
    for (int i = 0; i < warmups; ++i) {
        floor();
        value();
    }
    for (int i = 0; i < runs; ++i) {
        if (i % 2) {
            valueSeries.runs.push_back(value());
            floorSeries.runs.push_back(floor());
        } else {
            floorSeries.runs.push_back(floor());
            valueSeries.runs.push_back(value());
        }
    }
}

ResultRow ratioRow(const QString& figure, double value, double floor, const QString& unit,
                   int decimals, double limit) {
    ResultRow row;
    row.figure = figure;
    row.value = QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(unit);
    row.floor = QStringLiteral("%1 %2").arg(floor, 0, 'f', decimals).arg(unit);
    const double ratio = floor > 0 ? value / floor : 0;
    row.ratio = QString::number(ratio, 'f', 2);
    if (limit > 0) {
        row.target = QStringLiteral("<= %1").arg(limit, 0, 'f', 2);
        row.verdict = ratio <= limit ? QStringLiteral("PASS") : QStringLiteral("MISS");
    } else {
        row.target = QStringLiteral("-");
        row.verdict = QStringLiteral("info");
    }
    return row;
}

void printSeries(const QString& name, const Series& s, const QString& unit) {
    std::printf("  %-44s median %10.3f %s   min %10.3f   max %10.3f   runs %zu\n", qPrintable(name),
                s.median(), qPrintable(unit), s.min(), s.max(), s.runs.size());
    std::fflush(stdout);
}

void printTable(const std::vector<ResultRow>& rows, const QString& tsvPath) {
    if (!tsvPath.isEmpty()) {
        appendRows(rows, tsvPath);
        return;
    }
    const QList<QStringList> cells = [&] {
        QList<QStringList> all{{QStringLiteral("figure"), QStringLiteral("value"),
                                QStringLiteral("floor"), QStringLiteral("ratio"),
                                QStringLiteral("target"), QStringLiteral("result")}};
        for (const ResultRow& r : rows)
            all.append({r.figure, r.value, r.floor, r.ratio, r.target, r.verdict});
        return all;
    }();
    std::vector<qsizetype> width(6, 0);
    for (const QStringList& line : cells)
        for (int c = 0; c < 6; ++c) width[c] = std::max(width[c], line[c].size());
    for (const QStringList& line : cells) {
        QString text;
        for (int c = 0; c < 6; ++c) text += line[c].leftJustified(width[c] + 2);
        std::printf("%s\n", qPrintable(text.trimmed()));
    }
    std::fflush(stdout);
}

namespace {
void appendRows(const std::vector<ResultRow>& rows, const QString& tsvPath) {
    QFile tsv(tsvPath);
    if (!tsv.open(QIODevice::Append | QIODevice::Text))
        fail(QStringLiteral("cannot write ") + tsvPath);
    QTextStream out(&tsv);
    for (const ResultRow& r : rows)
        out << QStringList{r.figure, r.value, r.floor, r.ratio, r.target, r.verdict}.join(
                   QLatin1Char('\t'))
            << '\n';
}
}  // namespace

void fail(const QString& why) {
    std::fprintf(stderr, "quarzello-bench: %s\n", qPrintable(why));
    std::exit(2);
}
