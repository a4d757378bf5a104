// The margins answers in the user's settings, one key a printer, in lines a user can find and
// delete to be asked again.
#include "platform/marginmemory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quarzello {

namespace {

const QString kAsIs = QStringLiteral("stampa");
const QString kReduce = QStringLiteral("riduci");

QString keyOf(const QString& printer) { return QStringLiteral("margini/") + marginKey(printer); }

QSettings settings() {
    return QSettings(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
}

// Why the settings file could not be written, as far as can be seen from outside.
QString whyNotWritten(const QString& file) {
    const QFileInfo info(file);
    if (info.isDir())
        return QStringLiteral("%1 è una cartella").arg(QDir::toNativeSeparators(file));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("la cartella %1 non può essere creata")
            .arg(QDir::toNativeSeparators(folder.filePath()));
    return QStringLiteral("il file %1 non può essere scritto (di sola lettura, o il disco è pieno)")
        .arg(QDir::toNativeSeparators(file));
}

}  // namespace

QString marginKey(const QString& printer) {
    const bool plain = !printer.startsWith(QLatin1Char('/')) &&
                       !printer.endsWith(QLatin1Char('/')) &&
                       !printer.contains(QStringLiteral("//")) &&
                       !printer.contains(QLatin1Char('\\')) && !printer.contains(QLatin1Char('%'));
    // An encoded key always holds a '%', which a plain one never does: no two printers share one.
    return plain ? printer : QString::fromLatin1(printer.toUtf8().toPercentEncoding());
}

QString SettingsMarginMemory::settingsFile() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG Base Directory rules say.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
    return base + QStringLiteral("/quarzello/quarzello.conf");
}

std::optional<MarginChoice> SettingsMarginMemory::recalled(const QString& printer) {
    if (printer.isEmpty()) return std::nullopt;
    const QString value = settings().value(keyOf(printer)).toString();
    if (value == kAsIs) return MarginChoice::PrintAsIs;
    if (value == kReduce) return MarginChoice::Reduce;
    return std::nullopt;
}

Result<void> SettingsMarginMemory::remember(const QString& printer, MarginChoice choice) {
    if (printer.isEmpty() || choice == MarginChoice::Cancel) return {};
    QSettings store = settings();
    store.setValue(keyOf(printer), choice == MarginChoice::Reduce ? kReduce : kAsIs);
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return Failure{QStringLiteral("Non è stato possibile ricordare la scelta per la stampante "
                                  "\"%1\": %2.")
                       .arg(printer, whyNotWritten(store.fileName()))};
}

Result<void> keepSettings(QSettings& store, const QString& what) {
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return Failure{QStringLiteral("Non è stato possibile %1: il file %2 non può essere scritto.")
                       .arg(what, QDir::toNativeSeparators(store.fileName()))};
}

}  // namespace quarzello
