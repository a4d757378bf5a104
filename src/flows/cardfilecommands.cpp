// Start-up reading of the default data file and the Save and Load commands. Every failure is
// told to the user in a message that names the file; nothing on disk is left half written.
#include "flows/cardfilecommands.h"

#include <QDir>
#include <QFileInfo>

#include "core/linebreak.h"
#include "data/cardfile.h"
#include "data/datalocation.h"
#include "data/outputfile.h"
#include "platform/prompts.h"

namespace quarzello {

namespace {

QString greeting() {
    return QStringLiteral("Benvenuto nel programma Quarzello del Camperista!") + CR + CR +
           QStringLiteral(
               "Non è stato trovato il file dei dati personali (Quarzo.qdf): "
               "probabilmente è il primo avvio del programma.") +
           CR + CR +
           QStringLiteral(
               "Immettere i dati personali e salvarli con il pulsante Salva: "
               "saranno ricaricati automaticamente al prossimo avvio.");
}

const QString kSaveFailed = QStringLiteral("Il salvataggio non è riuscito.");
const QString kLoadFailed = QStringLiteral("Il caricamento non è riuscito.");

// What the save dialog's existence test answers: a folder is not a file that could be replaced.
bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

// The dialog of Save and Load: parameter files offered, the path chosen last offered again.
FileDialogRequest parameterFileDialog(FileDialogKind kind, const QString& lastPath) {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = kParameterFileFilter;
    request.initialPath = lastPath;
    return request;
}

}  // namespace

CardFileCommands::CardFileCommands(const QString& programFolder, const DataLocation& location,
                                   Prompts& prompts)
    : programFolder_(programFolder),
      nomeFile_(location.dataFile),
      createsDataFolder_(location.createsFolder),
      notice_(location.notice),
      lastPath_(location.dialogFolder),
      prompts_(prompts) {}

std::optional<CardRecord> CardFileCommands::loadAtStartup(const CardRecord& current) {
    if (!notice_.isEmpty()) prompts_.inform(notice_, PromptIcon::Information);
    // A folder, a broken link or anything else in the file's place is reported by the reader,
    // rather than greeting as if this were the first run and then failing on the first Save.
    const QFileInfo entry(nomeFile_);
    if (entry.exists() || entry.isSymLink()) return CaricaDatiDiDefault(nomeFile_, current);
    prompts_.inform(greeting(), PromptIcon::Information);
    return std::nullopt;
}

std::optional<CardRecord> CardFileCommands::CaricaDatiDiDefault(const QString& path,
                                                                const CardRecord& current) {
    const Result<QStringList> lines = readCardLines(path);
    if (!lines) {
        prompts_.warn(twoParagraphs(lines.error(),
                                    QStringLiteral("I dati della finestra non sono cambiati.")));
        return std::nullopt;
    }
    return recordFromLines(*lines, current);
}

std::optional<QByteArray> CardFileCommands::MemorizzaDati(const CardRecord& record) {
    const Result<void> folder = makeDataFolder();
    const Result<QByteArray> written =
        folder ? writeCardFile(nomeFile_, record) : Result<QByteArray>(folder.failure());
    if (!written) {
        prompts_.warn(twoParagraphs(written.error(), kSaveFailed));
        return std::nullopt;
    }
    return *written;
}

bool CardFileCommands::enterProgramFolder(const QString& failureNote) {
    // A program folder that cannot be named was made current at start-up, by its bytes.
    if (programFolder_.isEmpty() || QDir::setCurrent(programFolder_)) return true;
    prompts_.warn(twoParagraphs(
        QStringLiteral("La cartella del programma %1 non è raggiungibile: forse è stata spostata "
                       "o cancellata.")
            .arg(programFolder_),
        failureNote));
    return false;
}

// The user's data folder is made when first needed, never at start-up. A program folder that
// has gone is not made again: that is told as a folder that is not there.
Result<void> CardFileCommands::makeDataFolder() const {
    return createsDataFolder_ ? createFolderFor(nomeFile_) : Result<void>();
}

std::optional<CardRecord> CardFileCommands::save(const CardRecord& current) {
    // Copying a default file that could not be written would save stale data under a new name.
    const std::optional<QByteArray> saved = MemorizzaDati(current);
    if (!saved) return std::nullopt;
    return Salva(*saved, current);
}

std::optional<CardRecord> CardFileCommands::Salva(const QByteArray& saved,
                                                  const CardRecord& current) {
    QString chosen;
    for (;;) {
        const std::optional<QString> answer =
            prompts_.chooseFile(parameterFileDialog(FileDialogKind::Save, lastPath_));
        if (!answer) return std::nullopt;
        chosen = *answer;
        // A name typed without an extension gets the one the dialog's filter shows.
        if (!QFileInfo(chosen).fileName().contains(QLatin1Char('.')))
            chosen += QStringLiteral(".qcf");
        lastPath_ = chosen;
        if (!fileExists(chosen)) break;
        if (prompts_.askYesNo(overwriteQuestion(chosen), PromptAnswer::Yes)) break;
    }

    if (!enterProgramFolder(kSaveFailed)) return std::nullopt;

    // The very bytes this window wrote into the default file go to the chosen file: meanwhile
    // another copy of the program may have saved something else into the default file. (They
    // are its line copy already: 13 lines, CR LF each.) The default file chosen itself, through a
    // link or another spelling, is written where it really is.
    const QString target = isSameFile(nomeFile_, chosen) ? nomeFile_ : chosen;
    if (const Result<void> copied = writeFileAtomically(target, saved); !copied) {
        prompts_.warn(twoParagraphs(
            copied.error(),
            QStringLiteral("Il salvataggio nel file %1 non è riuscito.").arg(chosen)));
        return std::nullopt;
    }

    // The window shows what was stored, read back from those bytes.
    prompts_.inform(QStringLiteral("Il file ") + chosen + QStringLiteral(" è stato salvato!"));
    return recordFromLines(cardLinesOf(saved), current);
}

std::optional<CardRecord> CardFileCommands::load(const CardRecord& current) {
    const std::optional<QString> answer =
        prompts_.chooseFile(parameterFileDialog(FileDialogKind::Open, lastPath_));
    if (!answer) return std::nullopt;
    const QString& chosen = *answer;
    lastPath_ = chosen;

    if (!enterProgramFolder(kLoadFailed)) return std::nullopt;

    // The chosen file is read and checked whole before anything is replaced.
    const Result<QByteArray> copy = readCardFileForCopy(chosen);
    if (!copy) {
        prompts_.warn(twoParagraphs(copy.error(), kLoadFailed));
        return std::nullopt;
    }
    const CardRecord loaded = recordFromLines(cardLinesOf(*copy), current);

    if (!isSameFile(chosen, nomeFile_)) {
        Result<void> replaced = makeDataFolder();
        if (replaced) replaced = writeFileAtomically(nomeFile_, *copy);
        if (!replaced) {
            // The data were read well, so the window shows them; only the next start-up will not.
            prompts_.warn(twoParagraphs(
                replaced.error(),
                QStringLiteral("I dati del file %1 sono ora nella finestra, ma al prossimo "
                               "avvio del programma non saranno ripresi.")
                    .arg(chosen)));
            return loaded;
        }
    }

    prompts_.inform(QStringLiteral("Il file ") + chosen + QStringLiteral(" è stato caricato!"));
    return loaded;
}

}  // namespace quarzello
