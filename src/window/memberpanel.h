// The club's members in the window: a member list (CSV or vCard) read in the background, its
// members with a check box each, the sheet of the member selected, and the ticked members
// printed on a printer or saved as one PDF, a page each, on a thread of their own while the
// window answers, with the sheets counted and Annulla.
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "data/memberlist.h"
#include "flows/printcommands.h"
#include "flows/printpages.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThreadPool;

namespace quarzello {

class PrinterSystem;
class Prompts;
class SheetPreview;
class RunConversation;

// What the panel prints with: the window's own.
struct MemberPanelContext {
    Prompts& prompts;
    // The window's conversation: its questions and messages, asked on the window's thread.
    PrintConversation& talk;
    PrinterSystem& printers;
    PrintSettings settings;
    // What the window has chosen for every sheet, read at each print and for the preview.
    std::function<SheetOptions()> options;
    // The window's grid, for a member whose list gives none.
    std::function<CardRecord()> windowRecord;
    // Fills the printer list, as the printer panel's list is filled.
    std::function<void(std::function<void(const QStringList&)>)> listPrinters;
};

class MemberPanel final : public QDialog {
    Q_OBJECT

  public:
    MemberPanel(MemberPanelContext context, QWidget* parent);
    // A print under way is given up and waited for: no thread outlives the panel.
    ~MemberPanel() override;

    // Reads the list in the background, then shows it; a failure is told and the panel stays
    // as it was.
    void readList(const QString& path);
    // A list is being read or printed: no other may start.
    bool busy() const;

  protected:
    void reject() override;

  private:
    void showList(const QString& path, Result<MemberList>& list);
    void tickAll(bool ticked);
    void followSelected();
    std::vector<SheetPage> tickedPages() const;
    void printTicked();
    void runOnPrinter(PageRun run, const QString& printer);
    void runIntoPdf(PageRun run, const QString& path);
    void started(int sheets);
    void cancel();
    void finished();

    MemberPanelContext context_;
    std::unique_ptr<QThreadPool> ownPool_;
    QThreadPool* pool_ = nullptr;
    QString path_;
    std::vector<Member> members_;
    QFutureWatcher<std::shared_ptr<Result<MemberList>>> reading_;
    // The print under way: its conversation (shared with the thread) and what it hands back.
    std::shared_ptr<RunConversation> run_;
    QFutureWatcher<std::optional<QByteArray>> printing_;
    QString pdfTarget_;  // the PDF the run under way is for; empty for a printer

    QLabel* lblLetti_ = nullptr;
    QPlainTextEdit* txtAvvisi_ = nullptr;
    QListWidget* lstSoci_ = nullptr;
    QPushButton* cmdTutti_ = nullptr;
    QPushButton* cmdNessuno_ = nullptr;
    SheetPreview* preview_ = nullptr;
    QComboBox* cmbStampante_ = nullptr;
    QPushButton* cmdStampa_ = nullptr;
    QProgressBar* barFogli_ = nullptr;
    QPushButton* cmdAnnulla_ = nullptr;
    QPushButton* cmdChiudi_ = nullptr;
};

}  // namespace quarzello
