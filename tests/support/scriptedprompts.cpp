// Scripted answers, and the record of what was asked.
#include "scriptedprompts.h"

namespace quarzello {

PromptAnswer ScriptedPrompts::message(const MessageRequest& request) {
    messages.append(request);
    if (onMessage) onMessage(request);
    if (answers.empty()) return request.defaultButton;
    PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

MarginReply ScriptedPrompts::askMargins(const MarginRequest& request) {
    marginRequests.append(request);
    if (marginReplies.empty()) return {};
    const MarginReply reply = marginReplies.front();
    marginReplies.pop_front();
    return reply;
}

std::optional<QString> ScriptedPrompts::chooseFile(const FileDialogRequest& request) {
    dialogs.append(request);
    if (onDialog) onDialog(request);
    if (files.empty()) return std::nullopt;
    const bool cancelled = !files.front().has_value();
    const QString file = cancelled ? QString() : *files.front();
    files.pop_front();
    if (cancelled) return std::nullopt;
    return file;
}

bool ScriptedPrompts::openWithDesktop(const QString& path) {
    opened << path;
    if (openAnswers.empty()) return true;
    const bool answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QStringList ScriptedPrompts::texts() const {
    QStringList result;
    for (const MessageRequest& m : messages) result << m.text;
    return result;
}

}  // namespace quarzello
