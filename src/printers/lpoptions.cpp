// Reading lpoptions without asking the scheduler anything: the files are the user's own, and
// libcups' cupsGetDests would ask the scheduler with no limit in time.
#include "printers/lpoptions.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "printers/cupslibrary.h"

namespace quarzello {

namespace {

// One "Dest" or "Default" line of an lpoptions file.
struct Line {
    bool isDefault = false;
    QString destination;  // "queue" or "queue/instance"
    QString options;
};

QList<Line> readLines(const QString& path) {
    QList<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const QString keyword = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        const bool isDefault = keyword.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0;
        if (!isDefault && keyword.compare(QLatin1String("dest"), Qt::CaseInsensitive) != 0)
            continue;
        const QString destination = line.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty);
        if (destination.isEmpty()) continue;
        lines.append({isDefault, destination,
                      line.section(QLatin1Char(' '), 2, -1, QString::SectionSkipEmpty)});
    }
    return lines;
}

QString queuePart(const QString& name) { return name.section(QLatin1Char('/'), 0, 0); }

// Each text parsed over the ones before it, so that a later value of a name wins; a text is
// parsed on its own, so that a quote left open does not run into the next line.
JobOptions parseAll(const QStringList& texts) {
    JobOptions options;
    if (!cups().loaded) return options;
    cups_option_t* parsed = nullptr;
    int count = 0;
    for (const QString& text : texts)
        count = cups().cupsParseOptions(text.toUtf8().constData(), count, &parsed);
    for (int i = 0; i < count; ++i)
        options.append({QString::fromUtf8(parsed[i].name), QString::fromUtf8(parsed[i].value)});
    cups().cupsFreeOptions(count, parsed);
    return options;
}

}  // namespace

QStringList lpoptionsFiles() {
    const QString serverRoot = qEnvironmentVariableIsSet("CUPS_SERVERROOT")
                                   ? qEnvironmentVariable("CUPS_SERVERROOT")
                                   : QStringLiteral("/etc/cups");
    return {serverRoot + QStringLiteral("/lpoptions"),
            QDir::homePath() + QStringLiteral("/.cups/lpoptions")};
}

JobOptions parseOptions(const QString& text) { return parseAll({text}); }

bool sameDestination(const QString& listed, const QString& written) {
    if (queuePart(listed).compare(queuePart(written), Qt::CaseInsensitive) != 0) return false;
    return listed.section(QLatin1Char('/'), 1) == written.section(QLatin1Char('/'), 1) &&
           listed.contains(QLatin1Char('/')) == written.contains(QLatin1Char('/'));
}

JobOptions printerOptions(const QString& name, const QStringList& files) {
    const QString queue = queuePart(name);
    QStringList texts;
    for (const QString& path : files) {
        QStringList queueLines, instanceLines;
        for (const Line& line : readLines(path)) {
            if (sameDestination(queue, line.destination))
                queueLines << line.options;
            else if (name.contains(QLatin1Char('/')) && sameDestination(name, line.destination))
                instanceLines << line.options;
        }
        texts << queueLines << instanceLines;
    }
    return parseAll(texts);
}

UserDestinations userDestinations(const QStringList& files) {
    UserDestinations found;
    for (const QString& path : files) {
        for (const Line& line : readLines(path)) {
            if (line.isDefault) found.defaultName = line.destination;
            const bool known = std::any_of(found.instances.cbegin(), found.instances.cend(),
                                           [&](const QString& instance) {
                                               return sameDestination(instance, line.destination);
                                           });
            if (line.destination.contains(QLatin1Char('/')) && !known)
                found.instances << line.destination;
        }
    }
    for (const char* variable : {"PRINTER", "LPDEST"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty() && value != QLatin1String("lp")) found.defaultName = value;
    }
    return found;
}

}  // namespace quarzello
