// The real prompts: QMessageBox and QFileDialog, modal over the main window.
#include "platform/qtprompts.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/focusring.h"

namespace quarzello {

QString QtPrompts::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

PromptAnswer QtPrompts::message(const MessageRequest& request) {
    QMessageBox box(parent_);
    // The window's own ring shows which button has the keyboard.
    new FocusRing(&box);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(request.text));
    switch (request.icon) {
        case PromptIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case PromptIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case PromptIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    if (request.buttons == PromptButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == PromptAnswer::No ? QMessageBox::No
                                                                       : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return PromptAnswer::Ok;
}

MarginReply QtPrompts::askMargins(const MarginRequest& request) {
    QMessageBox box(parent_);
    new FocusRing(&box);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(request.text));
    box.setIcon(QMessageBox::Warning);
    QPushButton* asIs = box.addButton(QStringLiteral("Stampa così"), QMessageBox::AcceptRole);
    QPushButton* reduce = box.addButton(QStringLiteral("Riduci al %1 %").arg(request.factorPercent),
                                        QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(asIs);
    box.setEscapeButton(cancel);
    auto* remember = new QCheckBox(QStringLiteral("Non chiedere più per questa stampante"), &box);
    box.setCheckBox(remember);
    box.exec();
    MarginReply reply;
    // Closed from the window's frame, the box has pressed its escape button: nothing is sent.
    if (box.clickedButton() == reduce)
        reply.choice = MarginChoice::Reduce;
    else if (box.clickedButton() == asIs)
        reply.choice = MarginChoice::PrintAsIs;
    else
        reply.choice = MarginChoice::Cancel;
    reply.remember = reply.choice != MarginChoice::Cancel && remember->isChecked();
    return reply;
}

std::optional<QString> QtPrompts::chooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_);
    const bool saving = request.kind == FileDialogKind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name may be typed: the commands themselves check the file and say what is wrong.
    // Unless asked to, the dialog does not ask before replacing a file: the command does.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilter(request.filter);
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    // A folder is opened, not offered as a name to type over.
    if (QFileInfo(request.initialPath).isDir())
        dialog.setDirectory(request.initialPath);
    else if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return chosen.first();
}

bool QtPrompts::openWithDesktop(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quarzello
