// The sheet's own options, and which of a printer's options may travel with the job.
#include "printers/joboptions.h"

#include <QStringList>

namespace quarzello {

namespace {

void setOption(JobOptions& options, const QString& name, const QString& value) {
    for (JobOption& option : options) {
        if (option.name.compare(name, Qt::CaseInsensitive) == 0) {
            option.value = value;
            return;
        }
    }
    options.append({name, value});
}

// What the sheet is: the paper, the side, the size and the place of what is drawn, which pages
// print and what prints before them. Given by the program whatever a printer's options say, in
// their IPP and their PPD spelling.
const QStringList kSheetOptions = {"media",
                                   "media-col",
                                   "PageSize",
                                   "PageRegion",
                                   "print-scaling",
                                   "fit-to-page",
                                   "fitplot",
                                   "fill",
                                   "crop-to-fit",
                                   "scaling",
                                   "natural-scaling",
                                   "position",
                                   "mirror",
                                   "page-border",
                                   "number-up",
                                   "number-up-layout",
                                   "orientation-requested",
                                   "landscape",
                                   "sides",
                                   "Duplex",
                                   "page-left",
                                   "page-right",
                                   "page-top",
                                   "page-bottom",
                                   "page-ranges",
                                   "page-set",
                                   "job-sheets",
                                   "booklet"};

QString sidesValue(JobSides sides) {
    switch (sides) {
        case JobSides::LongEdge:
            return QStringLiteral("two-sided-long-edge");
        case JobSides::ShortEdge:
            return QStringLiteral("two-sided-short-edge");
        case JobSides::OneSided:
            break;
    }
    return QStringLiteral("one-sided");
}

}  // namespace

JobOptions jobOptions(const JobOptions& printer, JobSides sides) {
    // The scheduler adds a queue's default to every job that does not give the option itself:
    // two sheets to a page, upside down, mirrored, framed, a banner page first on card stock.
    // So each is given, at the value that prints the page as drawn: A4, the sides asked for,
    // one page to a sheet at 100 %, in place, with no cover page and every page (no
    // page-ranges at all).
    JobOptions options = {{QStringLiteral("media"), QStringLiteral("A4")},
                          {QStringLiteral("sides"), sidesValue(sides)},
                          {QStringLiteral("print-scaling"), QStringLiteral("none")},
                          {QStringLiteral("number-up"), QStringLiteral("1")},
                          {QStringLiteral("number-up-layout"), QStringLiteral("lrtb")},
                          {QStringLiteral("orientation-requested"), QStringLiteral("3")},
                          {QStringLiteral("page-border"), QStringLiteral("none")},
                          {QStringLiteral("mirror"), QStringLiteral("false")},
                          {QStringLiteral("page-set"), QStringLiteral("all")},
                          {QStringLiteral("job-sheets"), QStringLiteral("none,none")},
                          {QStringLiteral("booklet"), QStringLiteral("off")},
                          {QStringLiteral("fit-to-page"), QStringLiteral("false")},
                          {QStringLiteral("scaling"), QStringLiteral("100")},
                          {QStringLiteral("natural-scaling"), QStringLiteral("100")},
                          {QStringLiteral("position"), QStringLiteral("center")}};
    for (const JobOption& option : printer) {
        if (!kSheetOptions.contains(option.name, Qt::CaseInsensitive))
            setOption(options, option.name, option.value);
    }
    return options;
}

}  // namespace quarzello
