// The base of the tests of start-up, Save and Load on real folders, answered by a script: before
// each test, a temporary folder with the program's folder in it, the current folder somewhere
// else, and the commands made on it. With the messages and dialogs the commands show.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "core/cardrecord.h"
#include "data/datalocation.h"
#include "datafiles.h"
#include "flows/cardfilecommands.h"
#include "scriptedprompts.h"

namespace quarzello {

// The file helpers these tests use, by their short names.
using datafiles::crlf;
using datafiles::numberedLines;
using datafiles::readBytes;
using datafiles::snapshot;
using datafiles::writeBytes;

// The window's part: it shows the record a command hands back.
struct ShownRecord {
    CardRecord value;
    int setCount = 0;
    void show(const std::optional<CardRecord>& record) {
        if (!record) return;
        value = *record;
        ++setCount;
    }
};

inline MessageRequest okBox(const QString& text, PromptIcon icon = PromptIcon::None) {
    return {QStringLiteral("Quarzello del Camperista"), text, PromptButtons::Ok, icon,
            PromptAnswer::Ok};
}
inline MessageRequest warning(const QString& text) { return okBox(text, PromptIcon::Warning); }
inline QString paragraphs(const QString& first, const QString& second) {
    return first + QChar(13) + QChar(13) + second;
}
inline MessageRequest overwriteAsked(const QString& path) {
    return {QStringLiteral("Quarzello del Camperista"),
            paragraphs(paragraphs(QStringLiteral("Il file:"), path),
                       QStringLiteral("esiste già: sovrascrivo?")),
            PromptButtons::YesNo, PromptIcon::None, PromptAnswer::Yes};
}
inline MessageRequest saved(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato salvato!"));
}
inline MessageRequest loaded(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato caricato!"));
}
inline FileDialogRequest dialog(FileDialogKind kind, const QString& initialPath) {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = QStringLiteral("File parametri (*.qcf)");
    request.initialPath = initialPath;
    return request;
}
inline QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

class CardFileCommandsFixture : public QObject {
    Q_OBJECT

  protected slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        program_ = path("programma");
        QVERIFY(QDir().mkdir(program_));
        // Somewhere else, so that the commands have to move into the program folder themselves.
        QVERIFY(QDir::setCurrent(dir_->path()));
        record_ = ShownRecord{};
        prompts_ = ScriptedPrompts{};
        makeCommands(program_);
    }
    void cleanup() {
        commands_.reset();
        QDir::setCurrent(startingFolder_);
        dir_.reset();
    }

  protected:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString nomeFile() const { return commands_->NomeFile(); }
    void makeCommands(const QString& programFolder) {
        commands_ = std::make_unique<CardFileCommands>(programFolder, besideProgram(programFolder),
                                                       prompts_);
    }
    void startUp() { record_.show(commands_->loadAtStartup(record_.value)); }
    void save() { record_.show(commands_->save(record_.value)); }
    void load() { record_.show(commands_->load(record_.value)); }

    QString startingFolder_ = QDir::currentPath();
    std::unique_ptr<QTemporaryDir> dir_;
    QString program_;
    ShownRecord record_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CardFileCommands> commands_;
};

}  // namespace quarzello
