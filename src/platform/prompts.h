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

// The question before the printer's margins would cut part of the sheet.
enum class MarginChoice { PrintAsIs, Reduce, Cancel };

struct MarginRequest {
    QString title;
    QString text;             // line breaks are the single character 13
    int factorPercent = 100;  // the reduction offered: "Riduci al N %"
    bool operator==(const MarginRequest&) const = default;
};

struct MarginReply {
    MarginChoice choice = MarginChoice::PrintAsIs;
    bool remember = false;  // "Non chiedere più per questa stampante" was ticked
    bool operator==(const MarginReply&) const = default;
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
    // Stampa così (the default, and Enter), Riduci al N %, or Annulla (and Escape).
    virtual MarginReply askMargins(const MarginRequest& request) = 0;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFile(const FileDialogRequest& request) = 0;
    // Opens the file with the desktop's own program for it (a PDF viewer); false when the
    // desktop reports that it could not.
    virtual bool openWithDesktop(const QString& path) = 0;

    // Shorthands for the common boxes, all titled with the window title.
    void inform(const QString& text, PromptIcon icon = PromptIcon::None);
    void warn(const QString& text) { inform(text, PromptIcon::Warning); }
    bool askYesNo(const QString& text, PromptAnswer defaultButton = PromptAnswer::Yes);
    MarginReply askMargins(const QString& text, int factorPercent);
};

// Two sentences as a message box shows them, a blank line between.
QString twoParagraphs(const QString& first, const QString& second);
// The question before a file is replaced.
QString overwriteQuestion(const QString& path);

}  // namespace quarzello
