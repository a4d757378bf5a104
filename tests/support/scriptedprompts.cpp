#include "scriptedprompts.h"

PromptAnswer ScriptedPrompts::message(const MessageRequest& request) {
    messages.append(request);
    if (onMessage) onMessage(request);
    if (answers.empty()) return request.defaultButton;
    PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::chooseFile(const FileDialogRequest& request) {
    dialogs.append(request);
    if (files.empty()) return std::nullopt;
    std::optional<QString> file = files.front();
    files.pop_front();
    return file;
}

QStringList ScriptedPrompts::texts() const {
    QStringList result;
    for (const MessageRequest& m : messages) result << m.text;
    return result;
}
