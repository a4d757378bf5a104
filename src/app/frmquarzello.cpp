// The window's behaviour: start-up, exit, the help panel, the typing rules, the record, and the
// commands that hand over to the data file and printing code.
#include "app/frmquarzello.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/helptext.h"
#include "app/inputrules.h"
#include "app/releasetext.h"
#include "app/twips.h"
#include "core/windowtitle.h"
#include "platform/prompts.h"
#include "print/printsurface.h"
#include "print/sheet.h"
#include "printers/printermessages.h"
#include "printers/printersystem.h"

namespace quarzello {

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

    form_load();
}

frmQuarzello::~frmQuarzello() = default;

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
    cmbRighe_->setCurrentText(record.rows);
    cmbColonne_->setCurrentText(record.columns);
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
    frmPrinter_->show();
    frmPrinter_->raise();
    VisualizzaListaStampanti();
}

void frmQuarzello::VisualizzaListaStampanti() {
    lstStampanti_->clear();
    lstStampanti_->addItems(printers_.printerNames());
    lstStampanti_->setCurrentRow(-1);
    lstStampanti_->clearSelection();
}

void frmQuarzello::cmdSelStampante_Click(int index) {
    frmPrinter_->hide();
    if (index != 0) return;

    const QList<QListWidgetItem*> selected = lstStampanti_->selectedItems();
    const QString chosen = selected.isEmpty() ? QString() : selected.first()->text();
    QString name = !chosen.isEmpty() ? chosen : currentPrinter_;
    if (name.isEmpty()) name = printers_.defaultPrinterName();
    if (name.isEmpty()) {
        prompts_.warn(
            printers_.printerNames().isEmpty()
                ? QStringLiteral("Nessuna stampante installata: non è possibile stampare.")
                : QStringLiteral("Nessuna stampante predefinita: scegliere una stampante "
                                 "dall'elenco."));
        return;
    }
    // A printer removed since the list was filled, or one that refuses jobs, is not silently
    // swapped for another: the user hears of it and nothing is printed.
    if (const Result<void> available = printers_.checkAvailable(name); !available) {
        prompts_.warn(available.error());
        return;
    }
    if (!chosen.isEmpty()) currentPrinter_ = chosen;
    printOn(name);
}

void frmQuarzello::printOn(const QString& name) {
    std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(name);
    if (!surface) {
        prompts_.warn(printerGoneText(name));
        return;
    }
    const Result<void> printed = StampaBiglietti(*surface, record(), [this] {
        QApplication::processEvents();
        repaint();
    });
    if (printed)
        prompts_.message({QStringLiteral("Fine stampa"), QStringLiteral("Stampa conclusa"),
                          PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok});
    else
        prompts_.warn(printed.error());
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
