// The preview's redraw of a 4 x 8 sheet, every line long so that every card line is fitted and
// shortened: planned, drawn on the screen surface and pictured, against one frame (16 ms).
#include <cstdio>

#include "benchmarks.h"
#include "samples.h"
#include "window/preview.h"

using namespace quarzello;

void benchPreview(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nPreview redraw of a 4 x 8 sheet\n");
    constexpr int kWindowHeight = 301;
    constexpr double kFrameMs = 16.0;
    SheetPreview preview;
    preview.resize(SheetPreview::widthFor(kWindowHeight), kWindowHeight);
    CardRecord record = crowdedRecord(4, 8);
    Series value;
    constexpr int kWarmups = 3;
    for (int i = 0; i < kWarmups + counts.previews; ++i) {
        // A character more each time, as typing does.
        record.fields[FirstName] += QLatin1Char(i % 2 ? 'a' : 'e');
        preview.follow(record, {});
        const double ms = timeMs([&] { preview.redraw(); });
        if (preview.shortenedCount() == 0) fail(QStringLiteral("the preview drew no sheet"));
        if (i >= kWarmups) value.runs.push_back(ms);
    }
    printSeries(QStringLiteral("SheetPreview::redraw, 4 x 8"), value, QStringLiteral("ms"));
    rows.push_back(ratioRow(QStringLiteral("Preview redraw of a 4 x 8 sheet, against a frame"),
                            value.median(), kFrameMs, QStringLiteral("ms"), 1, 1.0));
}
