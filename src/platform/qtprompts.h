// The real prompts: QMessageBox and QFileDialog, modal over the main window.
#pragma once

#include "platform/prompts.h"

namespace quarzello {

class QtPrompts : public Prompts {
  public:
    void setParentWindow(QWidget* window) override { parent_ = window; }
    PromptAnswer message(const MessageRequest& request) override;
    MarginReply askMargins(const MarginRequest& request) override;
    using Prompts::askMargins;
    std::optional<QString> chooseFile(const FileDialogRequest& request) override;
    bool openWithDesktop(const QString& path) override;

    // Our messages break lines with a lone CR; the box wants LF to show the break.
    static QString displayText(const QString& text);

  private:
    QWidget* parent_ = nullptr;
};

}  // namespace quarzello
