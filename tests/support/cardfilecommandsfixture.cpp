// The folders of the start-up, Save and Load tests, and the messages the commands show.
#include "cardfilecommandsfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "data/datalocation.h"

namespace quarzello {

namespace {

const QChar CR(13);

}  // namespace

MessageRequest okBox(const QString& text, PromptIcon icon) {
    return {QStringLiteral("Quarzello del Camperista"), text, PromptButtons::Ok, icon,
            PromptAnswer::Ok};
}

MessageRequest warning(const QString& text) { return okBox(text, PromptIcon::Warning); }

MessageRequest overwriteAsked(const QString& path) {
    return {QStringLiteral("Quarzello del Camperista"),
            QStringLiteral("Il file:") + CR + CR + path + CR + CR +
                QStringLiteral("esiste già: sovrascrivo?"),
            PromptButtons::YesNo, PromptIcon::None, PromptAnswer::Yes};
}

MessageRequest saved(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato salvato!"));
}

MessageRequest loaded(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato caricato!"));
}

FileDialogRequest dialog(FileDialogKind kind, const QString& initialPath) {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = QStringLiteral("File parametri (*.qcf)");
    request.initialPath = initialPath;
    return request;
}

QString paragraphs(const QString& first, const QString& second) { return first + CR + CR + second; }

QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

void CardFileCommandsFixture::init() {
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

void CardFileCommandsFixture::cleanup() {
    commands_.reset();
    QDir::setCurrent(startingFolder_);
    dir_.reset();
}

void CardFileCommandsFixture::makeCommands(const QString& programFolder) {
    commands_ =
        std::make_unique<CardFileCommands>(programFolder, besideProgram(programFolder), prompts_);
}

}  // namespace quarzello
