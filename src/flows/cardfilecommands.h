// The default data file and the Save and Load commands: what happens between the record, the
// file dialog, the message boxes and the files on disk. It never reaches into the window: it
// is given the window's record and hands back the record the window must show.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/cardrecord.h"
#include "core/result.h"

namespace quarzello {

class Prompts;
struct DataLocation;

inline const QString kParameterFileFilter = QStringLiteral("File parametri (*.qcf)");

class CardFileCommands {
  public:
    // programFolder: the folder that holds the program, current while Save and Load work.
    // location: where the default data file lives and where the dialogs first open.
    CardFileCommands(const QString& programFolder, const DataLocation& location, Prompts& prompts);

    // The default data file, as the location gave it.
    const QString& NomeFile() const { return nomeFile_; }

    // Start-up: the default data file's record when it is there (read silently); nothing when it
    // is not (a first-time user is greeted) or cannot be read (the user is told why).
    std::optional<CardRecord> loadAtStartup(const CardRecord& current);

    // Save: the record into the default data file, then a copy of it to a file the user names.
    // Returns the record as stored, for the window to show; nothing when the command stopped.
    std::optional<CardRecord> save(const CardRecord& current);
    // Load: a file the user picks replaces the default data file. Returns the record it holds,
    // for the window to show; nothing when the command stopped.
    std::optional<CardRecord> load(const CardRecord& current);

    // The record the file holds (current gives what a short file does not reach). On refusal
    // tells the user why and returns nothing.
    std::optional<CardRecord> CaricaDatiDiDefault(const QString& path, const CardRecord& current);
    // Writes the record into the default data file and gives the bytes written. On failure
    // tells the user why, leaves the earlier file as it was and gives nothing.
    std::optional<QByteArray> MemorizzaDati(const CardRecord& record);

  private:
    std::optional<CardRecord> Salva(const QByteArray& saved, const CardRecord& current);
    bool enterProgramFolder(const QString& failureNote);
    Result<void> makeDataFolder() const;

    QString programFolder_;
    QString nomeFile_;
    bool createsDataFolder_;
    QString notice_;  // told once, at start-up
    // Chosen last in the file dialog during this run, offered again next; at first the folder
    // the dialogs start in.
    QString lastPath_;
    Prompts& prompts_;
};

}  // namespace quarzello
