// Start-up reading of the default data file and the Save and Load commands. Every failure is
// told to the user in a message that names the file; nothing on disk is left half written.
#include "data/cardfilecommands.h"

#include <QDir>
#include <QFileInfo>

#include "data/cardfile.h"

namespace {

const QChar CR(13);

QString twoParagraphs(const QString& first, const QString& second) {
    return first + CR + CR + second;
}

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

const QString kSalvataggioFallito = QStringLiteral("Il salvataggio non è riuscito.");
const QString kCaricamentoFallito = QStringLiteral("Il caricamento non è riuscito.");

// What the save dialog's existence test answers: a folder is not a file that could be replaced.
bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

}  // namespace

CardFileCommands::CardFileCommands(const QString& programFolder, RecordAccess& record,
                                   Prompts& prompts, DatiBuffer& Dati)
    : programFolder_(programFolder),
      nomeFile_(QDir(programFolder).filePath(kNomeFileDiDefault)),
      record_(record),
      prompts_(prompts),
      dati_(Dati) {}

void CardFileCommands::loadAtStartup() {
    // A folder or anything else in the file's place is reported by the reader, rather than
    // greeting as if this were the first run and then failing on the first Save.
    if (QFileInfo::exists(nomeFile_)) {
        CaricaDatiDiDefault(nomeFile_);
        return;
    }
    prompts_.inform(greeting(), PromptIcon::Information);
}

bool CardFileCommands::CaricaDatiDiDefault(const QString& path) {
    QString error;
    const std::optional<QStringList> lines = readCardLines(path, &error);
    if (!lines) {
        prompts_.warn(
            twoParagraphs(error, QStringLiteral("I dati della finestra non sono cambiati.")));
        return false;
    }
    applyLines(*lines);
    return true;
}

void CardFileCommands::applyLines(const QStringList& lines) {
    // Slots the file does not reach keep what they held; the fields come from the file alone.
    for (qsizetype i = 0; i < lines.size() && i < kDatiSize; ++i) dati_[i] = lines.at(i);
    record_.setRecord(recordFromLines(lines.mid(0, kDatiSize), record_.record()));
}

bool CardFileCommands::MemorizzaDati() {
    QString error;
    if (!writeCardFile(nomeFile_, record_.record(), &error)) {
        prompts_.warn(twoParagraphs(error, kSalvataggioFallito));
        return false;
    }
    return true;
}

bool CardFileCommands::enterProgramFolder(const QString& failureNote) {
    if (QDir::setCurrent(programFolder_)) return true;
    prompts_.warn(twoParagraphs(
        QStringLiteral("La cartella del programma %1 non è raggiungibile: forse è stata spostata "
                       "o cancellata.")
            .arg(programFolder_),
        failureNote));
    return false;
}

void CardFileCommands::cmdSalva_Click() {
    // Copying a default file that could not be written would save stale data under a new name.
    if (!MemorizzaDati()) return;
    Salva();
}

void CardFileCommands::Salva() {
    QString chosen;
    for (;;) {
        const std::optional<QString> answer =
            prompts_.chooseFile({FileDialogKind::Save, kFiltroFileParametri, lastPath_});
        if (!answer) return;
        chosen = *answer;
        lastPath_ = chosen;
        if (!fileExists(chosen)) break;
        const QString question = QStringLiteral("Il file:") + CR + CR + chosen + CR + CR +
                                 QStringLiteral("esiste già: sovrascrivo?");
        if (prompts_.askYesNo(question, PromptAnswer::Yes)) break;
    }

    if (!enterProgramFolder(kSalvataggioFallito)) return;

    // The default file already holds what is being saved: copying it onto itself adds nothing.
    if (!isSameFile(nomeFile_, chosen)) {
        QString error;
        if (!copyCardLines(nomeFile_, chosen, &error)) {
            prompts_.warn(twoParagraphs(
                error, QStringLiteral("Il salvataggio nel file %1 non è riuscito.").arg(chosen)));
            return;
        }
    }

    // Reading the file back shows what was really stored; if that fails, success is not claimed.
    if (!CaricaDatiDiDefault(chosen)) return;
    prompts_.inform(QStringLiteral("Il file ") + chosen + QStringLiteral(" è stato salvato!"));
}

void CardFileCommands::cmdCarica_Click() {
    const std::optional<QString> answer =
        prompts_.chooseFile({FileDialogKind::Open, kFiltroFileParametri, lastPath_});
    if (!answer) return;
    const QString chosen = *answer;
    lastPath_ = chosen;

    if (!enterProgramFolder(kCaricamentoFallito)) return;

    // The chosen file is read and checked whole before anything is replaced.
    QString error;
    const std::optional<QByteArray> copy = readCardFileForCopy(chosen, &error);
    if (!copy) {
        prompts_.warn(twoParagraphs(error, kCaricamentoFallito));
        return;
    }
    const QStringList lines = decodeCardLines(splitCardLines(*copy, kDatiSize));

    if (!isSameFile(chosen, nomeFile_) && !writeFileAtomically(nomeFile_, *copy, &error)) {
        // The data were read well, so the window shows them; only the next start-up will not.
        applyLines(lines);
        prompts_.warn(twoParagraphs(
            error, QStringLiteral("I dati del file %1 sono ora nella finestra, ma al prossimo "
                                  "avvio del programma non saranno ripresi.")
                       .arg(chosen)));
        return;
    }

    applyLines(lines);
    prompts_.inform(QStringLiteral("Il file ") + chosen + QStringLiteral(" è stato caricato!"));
}
