// The settings file. Each use opens it afresh (another window of the program may have written
// it meanwhile), after looking at what is there through the opened file itself: a pipe or a
// device would hang the reader, and a huge file would fill the memory.
#include "platform/settingsstore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/cardrecord.h"
#include "core/configfolder.h"
#include "platform/settingslocation.h"

namespace quarzello {

namespace {

const QString kAsIs = QStringLiteral("stampa");
const QString kReduce = QStringLiteral("riduci");
const QString kQr = QStringLiteral("biglietti/codice_qr");
const QString kPaperName = QStringLiteral("carta/prodotto");
const QString kPaperColumns = QStringLiteral("carta/colonne");
const QString kPaperRows = QStringLiteral("carta/righe");
const QString kPreviewShown = QStringLiteral("anteprima/visibile");
const QString kPreviewPrinter = QStringLiteral("anteprima/stampante");
const QString kBackEmblem = QStringLiteral("retro/stemma");
const QString kBackQr = QStringLiteral("retro/codice_qr");
const QString kBackPrint = QStringLiteral("retro/stampa");
// A value quoted in a message is cut to this many characters.
constexpr qsizetype kQuotedValue = 60;

QString marginsKey(const QString& printer) {
    return QStringLiteral("margini/") + printerKey(printer);
}
QString offsetKey(const QString& printer) {
    return QStringLiteral("spostamento/") + printerKey(printer);
}

QString backOffsetKey(const QString& printer) {
    return QStringLiteral("spostamento_retro/") + printerKey(printer);
}
QString duplexKey(const QString& printer) {
    return QStringLiteral("fronte_retro/") + printerKey(printer);
}
QString backLineKey(int index) { return QStringLiteral("retro/riga%1").arg(index + 1); }

// The settings split an unquoted value at its commas: the commas come back together.
QString settingText(const QVariant& value) {
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                    : value.toString();
}

// A back line is at most as long as the front's longest line.
qsizetype longestBackLine() { return *std::max_element(kMaxLength.cbegin(), kMaxLength.cend()); }

QString cutLine(const QString& line) {
    const qsizetype longest = longestBackLine();
    if (line.size() <= longest) return line;
    // A character written as two halves is not split.
    return line.left(line.at(longest - 1).isHighSurrogate() ? longest - 1 : longest);
}

const QString kAutomatic = QStringLiteral("automatico");
const QString kManual = QStringLiteral("manuale");
const QString kLongEdge = QStringLiteral("lungo");
const QString kShortEdge = QStringLiteral("corto");
const QString kReverse = QStringLiteral("inverso");

// "automatico lungo", "manuale corto inverso": the way, the edge, and the backs' order.
std::optional<DuplexSetting> readDuplex(const QString& text) {
    const QStringList words = text.simplified().toLower().split(QLatin1Char(' '));
    if (words.size() < 2 || words.size() > 3) return std::nullopt;
    DuplexSetting setting;
    if (words[0] != kAutomatic && words[0] != kManual) return std::nullopt;
    setting.automatic = words[0] == kAutomatic;
    if (words[1] != kLongEdge && words[1] != kShortEdge) return std::nullopt;
    setting.edge = words[1] == kLongEdge ? TurnEdge::Long : TurnEdge::Short;
    if (words.size() == 3 && words[2] != kReverse) return std::nullopt;
    setting.reverseBacks = words.size() == 3;
    return setting;
}

QString duplexText(const DuplexSetting& setting) {
    QString text = (setting.automatic ? kAutomatic : kManual) + QLatin1Char(' ') +
                   (setting.edge == TurnEdge::Long ? kLongEdge : kShortEdge);
    if (setting.reverseBacks) text += QLatin1Char(' ') + kReverse;
    return text;
}

QString quoted(const QString& value) {
    return value.size() <= kQuotedValue ? value : value.left(kQuotedValue) + QStringLiteral("…");
}

QString native(const QString& file) { return QDir::toNativeSeparators(file); }

// Why the file is not to be opened as settings, in words that follow its name; nothing when it
// may be (or is not there yet: the first choice kept makes it).
std::optional<QString> unusable(const QString& file) {
    const int fd =
        ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return QStringLiteral("non può essere letto (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!known || !S_ISREG(status.st_mode)) return QStringLiteral("non è un file normale");
    if (status.st_size > kMaxSettingsBytes)
        return QStringLiteral("è troppo grande (%1 byte; al massimo %2)")
            .arg(status.st_size)
            .arg(kMaxSettingsBytes);
    return std::nullopt;
}

// Why the settings file could not be written, as far as can be seen from outside.
QString whyNotWritten(const QString& file) {
    const QFileInfo info(file);
    if (info.isDir()) return QStringLiteral("%1 è una cartella").arg(native(file));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("la cartella %1 non può essere creata")
            .arg(native(folder.filePath()));
    return QStringLiteral("il file %1 non può essere scritto (di sola lettura, o il disco è pieno)")
        .arg(native(file));
}

}  // namespace

QString settingsFilePath() { return configFolder() + QStringLiteral("/quarzello/quarzello.conf"); }

QString printerKey(const QString& printer) {
    const bool plain = !printer.startsWith(QLatin1Char('/')) &&
                       !printer.endsWith(QLatin1Char('/')) &&
                       !printer.contains(QStringLiteral("//")) &&
                       !printer.contains(QLatin1Char('\\')) && !printer.contains(QLatin1Char('%'));
    // An encoded key always holds a '%', which a plain one never does: no two printers share one.
    return plain ? printer : QString::fromLatin1(printer.toUtf8().toPercentEncoding());
}

SettingsStore::SettingsStore(QString file) : file_(std::move(file)) {}

SettingsStore::~SettingsStore() = default;

QStringList SettingsStore::takeWarnings() {
    const std::lock_guard<std::mutex> lock(warningsMutex_);
    QStringList taken;
    taken.swap(warnings_);
    return taken;
}

void SettingsStore::warnOnce(const QString& text) {
    const std::lock_guard<std::mutex> lock(warningsMutex_);
    if (told_.contains(text)) return;
    told_ << text;
    warnings_ << text;
}

std::unique_ptr<QSettings> SettingsStore::open(QString& why) {
    if (const std::optional<QString> unfit = unusable(file_)) {
        why = *unfit;
    } else {
        auto settings = std::make_unique<QSettings>(file_, QSettings::IniFormat);
        // Bytes that are not settings (a byte-order mark, a binary file) are not read, and the
        // file is not written over.
        if (settings->status() != QSettings::FormatError) return settings;
        why = QStringLiteral("non contiene impostazioni leggibili (caratteri non validi)");
    }
    warnOnce(QStringLiteral("Il file delle impostazioni %1 %2: sono usate le impostazioni "
                            "predefinite e il file non viene modificato.")
                 .arg(native(file_), why));
    return nullptr;
}

QVariant SettingsStore::value(const QString& key) {
    QString why;
    const std::unique_ptr<QSettings> settings = open(why);
    return settings ? settings->value(key) : QVariant();
}

Result<void> SettingsStore::keep(const QString& what,
                                 const std::function<void(QSettings&)>& change) {
    QString why;
    const std::unique_ptr<QSettings> settings = open(why);
    if (!settings)
        return Failure{QStringLiteral("Non è stato possibile %1: il file delle impostazioni %2 %3.")
                           .arg(what, native(file_), why)};
    change(*settings);
    settings->sync();
    if (settings->status() == QSettings::NoError) return {};
    // Qt reports a byte-order mark it has just written the file without as a format error:
    // what is on disk now tells.
    if (settings->status() == QSettings::FormatError &&
        QSettings(file_, QSettings::IniFormat).status() == QSettings::NoError)
        return {};
    return Failure{QStringLiteral("Non è stato possibile %1: %2.").arg(what, whyNotWritten(file_))};
}

std::optional<MarginChoice> SettingsStore::recalled(const QString& printer) {
    if (printer.isEmpty()) return std::nullopt;
    const QString value = this->value(marginsKey(printer)).toString();
    if (value == kAsIs) return MarginChoice::PrintAsIs;
    if (value == kReduce) return MarginChoice::Reduce;
    return std::nullopt;
}

Result<void> SettingsStore::remember(const QString& printer, MarginChoice choice) {
    if (printer.isEmpty() || choice == MarginChoice::Cancel) return {};
    return keep(QStringLiteral("ricordare la scelta per la stampante \"%1\"").arg(printer),
                [&](QSettings& settings) {
                    settings.setValue(marginsKey(printer),
                                      choice == MarginChoice::Reduce ? kReduce : kAsIs);
                });
}

PaperChoice SettingsStore::paper() {
    PaperChoice choice;
    choice.name = value(kPaperName).toString().simplified();
    bool columnsRead = false, rowsRead = false;
    choice.columns = value(kPaperColumns).toInt(&columnsRead);
    choice.rows = value(kPaperRows).toInt(&rowsRead);
    // A grid that is not one leaves the product out: it is looked up again when printing.
    if (choice.name.isEmpty() || !columnsRead || !rowsRead || choice.columns < 1 ||
        choice.rows < 1 || choice.columns > kMaxRememberedGrid || choice.rows > kMaxRememberedGrid)
        return {};
    return choice;
}

Result<void> SettingsStore::rememberPaper(const PaperChoice& choice) {
    return keep(QStringLiteral("ricordare la carta scelta"), [&](QSettings& settings) {
        if (choice.name.isEmpty()) {
            settings.remove(QStringLiteral("carta"));
            return;
        }
        settings.setValue(kPaperName, choice.name);
        settings.setValue(kPaperColumns, choice.columns);
        settings.setValue(kPaperRows, choice.rows);
    });
}

bool SettingsStore::qrCode() { return value(kQr).toBool(); }

Result<void> SettingsStore::rememberQrCode(bool on) {
    return keep(QStringLiteral("ricordare la scelta del codice QR per il prossimo avvio"),
                [&](QSettings& settings) { settings.setValue(kQr, on); });
}

RememberedOffset SettingsStore::offset(const QString& printer) {
    return rememberedOffset(offsetKey(printer), printer, QStringLiteral("Lo spostamento"));
}

RememberedOffset SettingsStore::rememberedOffset(const QString& key, const QString& printer,
                                                 const QString& what) {
    if (printer.isEmpty()) return {};
    const QVariant value = this->value(key);
    if (!value.isValid()) return {};
    const QString text = settingText(value);
    if (const std::optional<PrinterOffset> offset = readOffset(text)) return {*offset, {}};
    const QString warning =
        QStringLiteral(
            "%1 ricordato per la stampante \"%2\" (\"%3\") non è valido: "
            "non è usato. Due numeri in millimetri da -10 a 10, separati da uno "
            "spazio, per esempio 1,5 -0,8.")
            .arg(what, printer, quoted(text));
    warnOnce(warning);
    return {{}, warning};
}

Result<void> SettingsStore::rememberOffset(const QString& printer, const PrinterOffset& offset) {
    return keep(QStringLiteral("ricordare lo spostamento per la stampante \"%1\"").arg(printer),
                [&](QSettings& settings) {
                    if (offset.isZero())
                        settings.remove(offsetKey(printer));
                    else
                        settings.setValue(offsetKey(printer), offsetText(offset));
                });
}

bool SettingsStore::previewShown() { return value(kPreviewShown).toBool(); }

void SettingsStore::setPreviewShown(bool shown) {
    (void)keep(QStringLiteral("ricordare l'anteprima"),
               [&](QSettings& settings) { settings.setValue(kPreviewShown, shown); });
}

QString SettingsStore::previewPrinter() { return value(kPreviewPrinter).toString(); }

void SettingsStore::setPreviewPrinter(const QString& name) {
    (void)keep(QStringLiteral("ricordare la stampante dell'anteprima"),
               [&](QSettings& settings) { settings.setValue(kPreviewPrinter, name); });
}

CardBack SettingsStore::back() {
    CardBack back;
    const QString emblem = settingText(value(kBackEmblem));
    if (!emblem.isEmpty() && QDir::isAbsolutePath(emblem))
        back.emblem = emblem;
    else if (!emblem.isEmpty())
        warnOnce(QStringLiteral("Lo stemma ricordato per il retro (\"%1\") non è un percorso "
                                "completo: non è usato. Sceglierlo di nuovo.")
                     .arg(quoted(emblem)));
    // Only the lines up to the last one kept: a missing one between them is an empty line.
    QStringList lines;
    for (int i = 0; i < kBackLines; ++i) {
        const QVariant kept = value(backLineKey(i));
        if (!kept.isValid()) {
            lines << QString();
            continue;
        }
        QString line = settingText(kept);
        if (std::any_of(line.cbegin(), line.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; })) {
            warnOnce(QStringLiteral("La riga %1 ricordata per il retro contiene caratteri di "
                                    "controllo: non è usata.")
                         .arg(i + 1));
            line.clear();
        } else if (line.size() > longestBackLine()) {
            warnOnce(QStringLiteral("La riga %1 ricordata per il retro è troppo lunga (%2 "
                                    "caratteri; al massimo %3): è accorciata.")
                         .arg(i + 1)
                         .arg(line.size())
                         .arg(longestBackLine()));
            line = cutLine(line);
        }
        lines << line;
        back.lines = lines;
    }
    back.qrOnBack = backChoice(kBackQr, QStringLiteral("Codice QR sul retro"));
    back.print = backChoice(kBackPrint, QStringLiteral("Stampa anche il retro"));
    return back;
}

bool SettingsStore::backChoice(const QString& key, const QString& name) {
    const QVariant kept = value(key);
    if (!kept.isValid()) return false;
    const QString text = settingText(kept).trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1")) return true;
    if (text != QLatin1String("false") && text != QLatin1String("0"))
        warnOnce(QStringLiteral("La scelta \"%1\" ricordata per il retro (\"%2\") non è valida: "
                                "non è usata. Si scrive true o false.")
                     .arg(name, quoted(settingText(kept))));
    return false;
}

Result<void> SettingsStore::rememberBack(const CardBack& back) {
    return keep(QStringLiteral("ricordare il retro dei biglietti"), [&](QSettings& settings) {
        if (back.emblem.isEmpty())
            settings.remove(kBackEmblem);
        else
            settings.setValue(kBackEmblem, back.emblem);
        for (int i = 0; i < kBackLines; ++i) {
            if (i < back.lines.size())
                settings.setValue(backLineKey(i), cutLine(back.lines.at(i)));
            else
                settings.remove(backLineKey(i));
        }
        settings.setValue(kBackQr, back.qrOnBack);
        settings.setValue(kBackPrint, back.print);
    });
}

std::optional<DuplexSetting> SettingsStore::duplex(const QString& printer) {
    if (printer.isEmpty()) return std::nullopt;
    const QVariant kept = value(duplexKey(printer));
    if (!kept.isValid()) return std::nullopt;
    const QString text = settingText(kept);
    if (const std::optional<DuplexSetting> setting = readDuplex(text)) return setting;
    warnOnce(QStringLiteral("Il modo di stampare fronte e retro ricordato per la stampante "
                            "\"%1\" (\"%2\") non è valido: non è usato. Si scrive automatico o "
                            "manuale, poi lungo o corto, e se i retri vanno in ordine inverso "
                            "inverso; per esempio manuale lungo inverso.")
                 .arg(printer, quoted(text)));
    return std::nullopt;
}

Result<void> SettingsStore::rememberDuplex(const QString& printer, const DuplexSetting& setting) {
    if (printer.isEmpty()) return {};
    return keep(
        QStringLiteral("ricordare come la stampante \"%1\" stampa fronte e retro").arg(printer),
        [&](QSettings& settings) { settings.setValue(duplexKey(printer), duplexText(setting)); });
}

RememberedOffset SettingsStore::backOffset(const QString& printer) {
    return rememberedOffset(backOffsetKey(printer), printer,
                            QStringLiteral("Lo spostamento del retro"));
}

Result<void> SettingsStore::rememberBackOffset(const QString& printer,
                                               const PrinterOffset& offset) {
    return keep(
        QStringLiteral("ricordare lo spostamento del retro per la stampante \"%1\"").arg(printer),
        [&](QSettings& settings) {
            if (offset.isZero())
                settings.remove(backOffsetKey(printer));
            else
                settings.setValue(backOffsetKey(printer), offsetText(offset));
        });
}

}  // namespace quarzello
