// Reading lpoptions the way libcups reads it, without asking the scheduler anything: the
// files are the user's own, and libcups' cupsGetDests would ask the scheduler with no limit.
#include "printers/joboptions.h"

#include <QDir>
#include <QFile>

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

// What the sheet is: the paper, the side, the size and the place of what is drawn. Given by the
// program whatever a printer's options say, in their IPP and their PPD spelling.
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
                                   "page-ranges"};

}  // namespace

JobOptions parseOptions(const QString& text) {
    JobOptions options;
    qsizetype at = 0;
    const qsizetype end = text.size();
    while (at < end) {
        while (at < end && text.at(at).isSpace()) ++at;
        if (at >= end) break;
        QString name;
        while (at < end && !text.at(at).isSpace() && text.at(at) != u'=') name += text.at(at++);
        if (at >= end || text.at(at) != u'=') {
            if (name.startsWith(QLatin1String("no"), Qt::CaseInsensitive) && name.size() > 2)
                setOption(options, name.mid(2), QStringLiteral("false"));
            else if (!name.isEmpty())
                setOption(options, name, QStringLiteral("true"));
            continue;
        }
        ++at;  // '='
        QString value;
        QChar quote;
        while (at < end && (!quote.isNull() || !text.at(at).isSpace())) {
            const QChar c = text.at(at++);
            if (c == u'\\' && at < end) {
                value += text.at(at++);
            } else if (quote.isNull() && (c == u'"' || c == u'\'')) {
                quote = c;
            } else if (!quote.isNull() && c == quote) {
                quote = QChar();
            } else {
                value += c;
            }
        }
        if (!name.isEmpty()) setOption(options, name, value);
    }
    return options;
}

JobOptions printerOptions(const QString& name, const QStringList& files) {
    const QString queue = name.section(QLatin1Char('/'), 0, 0);
    JobOptions options;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        JobOptions queueLine, instanceLine;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            const QString keyword = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
            if (keyword.compare(QLatin1String("dest"), Qt::CaseInsensitive) != 0 &&
                keyword.compare(QLatin1String("default"), Qt::CaseInsensitive) != 0)
                continue;
            const QString dest = line.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty);
            const QString rest = line.section(QLatin1Char(' '), 2, -1, QString::SectionSkipEmpty);
            // Queue names are not case-sensitive for CUPS; instance names are kept as typed.
            const QString destQueue = dest.section(QLatin1Char('/'), 0, 0);
            if (destQueue.compare(queue, Qt::CaseInsensitive) != 0) continue;
            if (dest.contains(QLatin1Char('/'))) {
                if (dest.section(QLatin1Char('/'), 1) == name.section(QLatin1Char('/'), 1) &&
                    name.contains(QLatin1Char('/')))
                    instanceLine = parseOptions(rest);
            } else {
                queueLine = parseOptions(rest);
            }
        }
        for (const JobOption& option : queueLine) setOption(options, option.name, option.value);
        for (const JobOption& option : instanceLine) setOption(options, option.name, option.value);
    }
    return options;
}

QStringList lpoptionsFiles() {
    const QString serverRoot = qEnvironmentVariableIsSet("CUPS_SERVERROOT")
                                   ? qEnvironmentVariable("CUPS_SERVERROOT")
                                   : QStringLiteral("/etc/cups");
    return {serverRoot + QStringLiteral("/lpoptions"),
            QDir::homePath() + QStringLiteral("/.cups/lpoptions")};
}

JobOptions jobOptions(const JobOptions& printer) {
    // The paper and sides a sheet of cards is printed with, as Qt has always sent them, and no
    // scaling: the filters would otherwise fit the page to the printable area when a queue's
    // defaults say so, and the sheet would come out smaller and shifted.
    JobOptions options = {{QStringLiteral("media"), QStringLiteral("A4")},
                          {QStringLiteral("sides"), QStringLiteral("one-sided")},
                          {QStringLiteral("print-scaling"), QStringLiteral("none")}};
    for (const JobOption& option : printer) {
        if (!kSheetOptions.contains(option.name, Qt::CaseInsensitive))
            setOption(options, option.name, option.value);
    }
    return options;
}

}  // namespace quarzello
