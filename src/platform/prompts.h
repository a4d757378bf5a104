// The one seam through which the program asks the user anything: message boxes and file dialogs.
// The real program uses QtPrompts; tests use ScriptedPrompts, which answers from a script.
#pragma once

#include <QString>
#include <optional>

#include "core/windowtitle.h"

class QWidget;

namespace quarzello {

enum class PromptIcon { None, Information, Warning };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

struct MessageRequest {
    QString title;
    QString text;  // line breaks are the single character 13
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    PromptAnswer defaultButton = PromptAnswer::Ok;
    bool operator==(const MessageRequest&) const = default;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString filter;       // Qt form, e.g. "File parametri (*.qcf)"
    QString initialPath;  // the path chosen last time in this run, a folder to start in, or empty
    QString title;        // empty: the dialog's own
    // For a save dialog: the dialog itself asks before a file is replaced, and adds this
    // extension (e.g. "pdf") to a name typed without one. Off and empty: neither.
    bool confirmOverwrite = false;
    QString defaultSuffix;
    bool operator==(const FileDialogRequest&) const = default;
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    // The window the boxes and dialogs belong to, centred on it and modal over it.
    virtual void setParentWindow(QWidget* window) = 0;
    virtual PromptAnswer message(const MessageRequest& request) = 0;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFile(const FileDialogRequest& request) = 0;
    // Opens the file with the desktop's own program for it (a PDF viewer); false when the
    // desktop reports that it could not.
    virtual bool openWithDesktop(const QString& path) = 0;

    // Shorthands for the common boxes, all titled with the window title.
    void inform(const QString& text, PromptIcon icon = PromptIcon::None);
    void warn(const QString& text) { inform(text, PromptIcon::Warning); }
    bool askYesNo(const QString& text, PromptAnswer defaultButton = PromptAnswer::Yes);
};

}  // namespace quarzello
