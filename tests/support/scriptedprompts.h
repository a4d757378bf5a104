// Prompts for tests: answers come from a script, and every request is recorded with its exact text.
#pragma once

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "platform/prompts.h"

namespace quarzello {

class ScriptedPrompts : public Prompts {
  public:
    // Answers to the coming message boxes, in order; a box with nothing scripted gets its default.
    std::deque<PromptAnswer> answers;
    // Answers to the coming margin questions, in order; nothing scripted is Stampa così, unticked.
    std::deque<MarginReply> marginReplies;
    QList<MarginRequest> marginRequests;
    // Answers to the coming file dialogs, in order; nothing scripted, or std::nullopt, is Cancel.
    std::deque<std::optional<QString>> files;
    // Answers of the desktop to the coming requests to open a file; nothing scripted is true.
    std::deque<bool> openAnswers;
    QStringList opened;  // the files the desktop was asked to open
    // Called when a message box or a file dialog is shown, before it is answered (for checks,
    // or for something to happen meanwhile).
    std::function<void(const MessageRequest&)> onMessage;
    std::function<void(const FileDialogRequest&)> onDialog;

    QList<MessageRequest> messages;
    QList<FileDialogRequest> dialogs;
    QWidget* parentWindow = nullptr;

    void setParentWindow(QWidget* window) override { parentWindow = window; }

    PromptAnswer message(const MessageRequest& request) override;
    MarginReply askMargins(const MarginRequest& request) override;
    using Prompts::askMargins;
    std::optional<QString> chooseFile(const FileDialogRequest& request) override;
    bool openWithDesktop(const QString& path) override;

    // The texts of the messages shown so far.
    QStringList texts() const;
};

}  // namespace quarzello
