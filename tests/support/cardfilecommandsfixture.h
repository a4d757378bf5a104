// The base of the tests of start-up, Save and Load on real folders, answered by a script: before
// each test, a temporary folder with the program's folder in it, the current folder somewhere
// else, and the commands made on it. With the messages and dialogs the commands show.
#pragma once

#include <QDir>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "core/cardrecord.h"
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

MessageRequest okBox(const QString& text, PromptIcon icon = PromptIcon::None);
MessageRequest warning(const QString& text);
MessageRequest overwriteAsked(const QString& path);
MessageRequest saved(const QString& path);
MessageRequest loaded(const QString& path);
FileDialogRequest dialog(FileDialogKind kind, const QString& initialPath);
QString paragraphs(const QString& first, const QString& second);
QString canonical(const QString& path);

class CardFileCommandsFixture : public QObject {
    Q_OBJECT

  protected slots:
    void init();
    void cleanup();

  protected:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString nomeFile() const { return commands_->NomeFile(); }
    void makeCommands(const QString& programFolder);
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
