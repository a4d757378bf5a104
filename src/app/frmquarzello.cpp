// The window's behaviour: start-up, exit, the help panel, the typing rules, the record, and the
// commands that hand over to the data file and printing code.
#include "app/frmquarzello.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>

#include "app/helptext.h"
#include "app/inputrules.h"
#include "app/printflow.h"
#include "app/releasetext.h"
#include "app/servicewaiter.h"
#include "app/twips.h"
#include "core/windowtitle.h"
#include "data/cardfile.h"
#include "platform/prompts.h"
#include "print/gridtext.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {
// What a list's edit box takes from the keyboard: Qt's own limit for a line edit.
constexpr int kLongestGridText = 32767;
}  // namespace

frmQuarzello::frmQuarzello(const QString& programFolder, const DataLocation& location,
                           Prompts& prompts, PrinterSystem& printers, QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      printers_(printers),
      files_(programFolder, location, prompts) {
    buildLayout();
    // Every box and dialog, the first-run greeting included, belongs to this window.
    prompts_.setParentWindow(this);

    connect(cmdEsci_, &QPushButton::clicked, this, &frmQuarzello::cmdEsci_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmQuarzello::cmdHelp_Click);
    connect(cmdSalva_, &QPushButton::clicked, this, &frmQuarzello::cmdSalva_Click);
    connect(cmdCarica_, &QPushButton::clicked, this, &frmQuarzello::cmdCarica_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &frmQuarzello::cmdStampa_Click);
    for (int i = 0; i < 2; ++i)
        connect(cmdSelStampante_[i], &QPushButton::clicked, this,
                [this, i] { cmdSelStampante_Click(i); });
    // Any change of the help text hides the panel; the help button shows it again after.
    connect(txtHelp_, &QPlainTextEdit::textChanged, txtHelp_, &QWidget::hide);
    // Escape in the printer panel does what its abandon button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), frmPrinter_);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { cmdSelStampante_Click(1); });

    form_load();
}

frmQuarzello::~frmQuarzello() {
    // A call to the print service given up on may still be on its way out.
    BackgroundWaiter::finishAbandoned(5000);
}

void frmQuarzello::form_load() {
    setWindowTitle(kWindowTitle);

    // Centred on the screen; on a screen smaller than the window the position goes negative,
    // and stays so.
    if (const QScreen* display = screen()) {
        const QRect area = display->geometry();
        const float top = area.height() / 2.0f - frameGeometry().height() / 2.0f;
        const float left = area.width() / 2.0f - frameGeometry().width() / 2.0f;
        move(area.left() + qRound(left), area.top() + qRound(top));
    }

    frmPrinter_->hide();
    frmPrinter_->move(twipsToPixels(3240), twipsToPixels(1800));
    txtHelp_->hide();
    txtHelp_->setGeometry(twipsRect(120, 480, 6735, 3855));

    lblTitolo_->setText(kWindowTitle);
    const int dataFrameLeft = frmDati_->x() * kTwipsPerPixel;
    const double widthTwips = frameGeometry().width() * kTwipsPerPixel - 3.5 * dataFrameLeft;
    lblTitolo_->setGeometry(frmDati_->x(), lblTitolo_->y(), twipsToPixels(widthTwips),
                            lblTitolo_->height());

    lblCopyright_->setText(releaseText());

    if (const std::optional<CardRecord> stored = files_.loadAtStartup(record())) setRecord(*stored);
}

CardRecord frmQuarzello::record() const {
    CardRecord record;
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = txtCampo_[i]->text();
    record.rows = cmbRighe_->currentText();
    record.columns = cmbColonne_->currentText();
    return record;
}

void frmQuarzello::setRecord(const CardRecord& record) {
    for (int i = 0; i < kFieldCount; ++i) {
        // setText would silently cut a longer value to the box's limit, and a later Save would
        // then lose the rest: let the box hold it whole.
        const QString& text = record.fields[i];
        txtCampo_[i]->setMaxLength(std::max<int>(kMaxLength[i], text.size()));
        txtCampo_[i]->setText(text);
    }
    // The lists' edit boxes cut a text at their limit (32767) too: a loaded one stays whole.
    for (const auto& [list, text] :
         {std::pair{cmbRighe_, &record.rows}, {cmbColonne_, &record.columns}}) {
        QLineEdit* edit = list->lineEdit();
        edit->setMaxLength(std::max<int>(kLongestGridText, text->size()));
        list->setCurrentText(*text);
    }
}

void frmQuarzello::cmdEsci_Click() {
    if (!prompts_.askYesNo(QStringLiteral("Vuoi uscire dal programma?"), PromptAnswer::Yes)) return;
    // Nothing is saved on the way out: only Save writes the data.
    close();
    QCoreApplication::quit();
}

void frmQuarzello::cmdHelp_Click() {
    // Set the text first: the change hides the panel, and showing it comes after.
    QString text = helpText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp_->setPlainText(text);
    txtHelp_->show();
}

void frmQuarzello::txta4_Click() {
    prompts_.inform(QStringLiteral("Il dato è fisso: solo formato A4"));
}

void frmQuarzello::cmdSalva_Click() {
    if (const std::optional<CardRecord> stored = files_.save(record())) setRecord(*stored);
}

void frmQuarzello::cmdCarica_Click() {
    if (const std::optional<CardRecord> loaded = files_.load(record())) setRecord(*loaded);
}

void frmQuarzello::cmdStampa_Click() {
    if (printing_) return;
    frmPrinter_->show();
    frmPrinter_->raise();
    VisualizzaListaStampanti();
    // Nothing selected, not even a current entry, but the arrow keys choose at once: the first
    // arrow press takes the first entry.
    if (frmPrinter_->isVisible()) {
        lstStampanti_->setFocus(Qt::OtherFocusReason);
        lstStampanti_->setCurrentItem(nullptr);
    }
}

void frmQuarzello::VisualizzaListaStampanti() {
    printing_ = true;
    BackgroundWaiter waiter(ServiceWaiter::commandBudgetMs(), [this] { return closing_; });
    PrinterSystem& printers = printers_;
    const std::optional<Result<PrinterList>> list = waiter.run<Result<PrinterList>>(
        [&printers](Deadline& deadline) { return printers.listPrinters(deadline); });
    printing_ = false;
    if (closing_) return;
    // A service that does not answer leaves the list it gave last.
    if (list && *list) knownPrinters_ = **list;

    lstStampanti_->clear();
    QStringList names = knownPrinters_.names;
    names.sort();  // as a sorted list box orders its entries
    lstStampanti_->addItems(names);
    auto* pdf = new QListWidgetItem(kPdfEntry, lstStampanti_);
    pdf->setData(Qt::UserRole, true);
    QFont italic = pdf->font();
    italic.setItalic(true);
    pdf->setFont(italic);
    lstStampanti_->setCurrentRow(-1);
    lstStampanti_->clearSelection();

    if (!list)
        prompts_.warn(printerListSilentText());
    else if (!*list)
        prompts_.warn(list->error());
}

void frmQuarzello::cmdSelStampante_Click(int index) {
    if (printing_) return;
    frmPrinter_->hide();
    if (index != 0) return;

    const QList<QListWidgetItem*> selected = lstStampanti_->selectedItems();
    if (!selected.isEmpty() && selected.first()->data(Qt::UserRole).toBool()) {
        saveAsPdf();
        return;
    }
    printOnPrinter(selected.isEmpty() ? QString() : selected.first()->text());
}

namespace {

// The print's questions and words as message boxes over the window; nothing once it is closing.
class WindowConversation final : public PrintConversation {
  public:
    WindowConversation(Prompts& prompts, QWidget& window, const bool& closing)
        : prompts_(prompts), window_(window), closing_(closing) {}

    bool printShortened(const QStringList& lines) override {
        return !closing_ && prompts_.askYesNo(shortenedLinesQuestion(lines), PromptAnswer::Yes);
    }
    bool sendToStoppedPrinter(const QString& printer, const QString& reason) override {
        return !closing_ && prompts_.askYesNo(twoParagraphs(stoppedPrinterText(printer, reason),
                                                            QStringLiteral("Inviarlo comunque?")),
                                              PromptAnswer::No);
    }
    void beforeDrawing() override {
        QApplication::processEvents();
        window_.repaint();
    }
    void fail(const QString& text) override {
        if (!closing_) prompts_.warn(text);
    }
    void done(const QString& text) override {
        if (!closing_)
            prompts_.message({kPrintDoneTitle, text, PromptButtons::Ok, PromptIcon::Information,
                              PromptAnswer::Ok});
    }

  private:
    Prompts& prompts_;
    QWidget& window_;
    const bool& closing_;
};

}  // namespace

void frmQuarzello::printOnPrinter(const QString& chosen) {
    const CardRecord card = record();
    // A grid that cannot print is told before anything about printers.
    if (const Result<Grid> grid = readGrid(card.rows, card.columns); !grid) {
        prompts_.warn(grid.error());
        return;
    }
    QString name = !chosen.isEmpty() ? chosen : currentPrinter_;
    if (name.isEmpty()) name = knownPrinters_.defaultName;
    if (name.isEmpty()) {
        prompts_.warn(knownPrinters_.names.isEmpty()
                          ? noPrinterText(knownPrinters_.serviceDown)
                          : QStringLiteral("Nessuna stampante predefinita: scegliere una "
                                           "stampante dall'elenco."));
        return;
    }
    printing_ = true;
    BackgroundWaiter waiter(ServiceWaiter::commandBudgetMs(), [this] { return closing_; });
    WindowConversation talk(prompts_, *this, closing_);
    // A printer removed since the list was filled, or one that refuses jobs, is not silently
    // swapped for another: the user hears of it and nothing is printed.
    const bool ready = quarzello::printOnPrinter(card, name, printers_, waiter, talk);
    if (ready && !chosen.isEmpty()) currentPrinter_ = chosen;
    printing_ = false;
}

void frmQuarzello::saveAsPdf() {
    const CardRecord card = record();
    if (const Result<Grid> grid = readGrid(card.rows, card.columns); !grid) {
        prompts_.warn(grid.error());
        return;
    }
    QString start = lastPdfFolder_;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty()) start = QDir::homePath();
    FileDialogRequest dialog;
    dialog.kind = FileDialogKind::Save;
    dialog.filter = QStringLiteral("Documento PDF (*.pdf)");
    dialog.initialPath = start;
    dialog.title = QStringLiteral("Salva PDF");
    dialog.confirmOverwrite = true;
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> answer = prompts_.chooseFile(dialog);
    if (!answer) return;
    QString path = *answer;
    const QChar cr(13);
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
        // The dialog asked about the name as typed; this one it never saw.
        if (QFileInfo(path).isFile() &&
            !prompts_.askYesNo(overwriteQuestion(path), PromptAnswer::Yes))
            return;
    }

    WindowConversation talk(prompts_, *this, closing_);
    const std::optional<QByteArray> pdf = pdfOfSheet(card, path, printers_, talk);
    if (!pdf) return;
    if (const Result<void> written = writeFileAtomically(path, *pdf); !written) {
        prompts_.warn(
            twoParagraphs(written.error(), QStringLiteral("Il file PDF non è stato salvato.")));
        return;
    }
    lastPdfFolder_ = QFileInfo(path).absolutePath();

    const PromptAnswer open =
        prompts_.message({kPrintDoneTitle,
                          twoParagraphs(QStringLiteral("Il file %1 è stato salvato.").arg(path),
                                        QStringLiteral("Aprirlo ora?")),
                          PromptButtons::YesNo, PromptIcon::Information, PromptAnswer::Yes});
    if (open == PromptAnswer::Yes && !prompts_.openWithDesktop(path))
        prompts_.warn(QStringLiteral("Il file %1 non può essere aperto: il sistema non ha un "
                                     "programma che lo mostri.")
                          .arg(path) +
                      cr +
                      QStringLiteral("Il file si trova nella cartella %1.")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
}

void frmQuarzello::closeEvent(QCloseEvent* event) {
    // Whatever a print is waiting on is given up; the print tells nothing more.
    closing_ = true;
    QWidget::closeEvent(event);
}

bool frmQuarzello::filterKeyPress(int index, QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty()) return false;
    // Shortcuts (copy, cut, paste, undo) are not typed characters: they always pass.
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    QLineEdit* box = txtCampo_[index];
    // The rules look at the box as it is before the character goes in.
    QString accepted;
    for (QChar c : typed)
        if (txtCampo_KeyPress(index, c, box->text() + accepted)) accepted += c;
    if (accepted == typed) return false;
    // Some or all of the characters are refused: let the rest in by hand.
    if (!accepted.isEmpty() && accepted.at(0).unicode() >= 32) box->insert(accepted);
    return true;
}

bool frmQuarzello::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < kFieldCount; ++i)
            if (watched == txtCampo_[i]) return filterKeyPress(i, static_cast<QKeyEvent*>(event));
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == txta4_) {
            txta4_Click();
            return false;
        }
        if (watched == txtHelp_->viewport()) {
            txtHelp_->hide();
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quarzello
