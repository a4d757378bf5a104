// The default data file beside the program and the Save and Load commands: what happens between
// the window's record, the file dialog, the message boxes and the files on disk.
#pragma once

#include <QString>
#include <QStringList>

#include "app/cardrecord.h"
#include "platform/prompts.h"

// The window's controls as a record: read as a snapshot, written back all at once.
class RecordAccess {
  public:
    virtual ~RecordAccess() = default;
    virtual CardRecord record() const = 0;
    virtual void setRecord(const CardRecord& record) = 0;
};

inline const QString kNomeFileDiDefault = QStringLiteral("Quarzo.qdf");
inline const QString kFiltroFileParametri = QStringLiteral("File parametri (*.qcf)");

class CardFileCommands {
  public:
    // programFolder: the folder that holds the program; the default data file lives there.
    CardFileCommands(const QString& programFolder, RecordAccess& record, Prompts& prompts,
                     DatiBuffer& Dati);

    // The default data file: the program folder followed by "/Quarzo.qdf".
    const QString& NomeFile() const { return nomeFile_; }
    // The path chosen last in the file dialog during this run, offered again by the next one.
    const QString& lastChosenPath() const { return lastPath_; }

    // Start-up: reads the default data file silently when it is there, greets a first-time
    // user when it is not.
    void loadAtStartup();

    // Save: the record into the default data file, then a copy of it to a file the user names.
    void cmdSalva_Click();
    // Load: a file the user picks replaces the default data file and fills the record.
    void cmdCarica_Click();

    // Fills Dati and the record from the file. On refusal tells the user why, changes nothing
    // and returns false.
    bool CaricaDatiDiDefault(const QString& path);
    // Writes the record into the default data file. On failure tells the user why, leaves the
    // earlier file as it was and returns false.
    bool MemorizzaDati();

  private:
    void Salva();
    bool enterProgramFolder(const QString& failureNote);
    void applyLines(const QStringList& lines);

    QString programFolder_;
    QString nomeFile_;
    QString lastPath_;
    RecordAccess& record_;
    Prompts& prompts_;
    DatiBuffer& dati_;
};
