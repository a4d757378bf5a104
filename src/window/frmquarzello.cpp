// The window's behaviour: start-up, exit, the help panel, the typing rules, the record, and the
// commands that hand over to the data file and printing code.
#include "window/frmquarzello.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "core/windowtitle.h"
#include "platform/focusring.h"
#include "platform/offsetmemory.h"
#include "platform/papermemory.h"
#include "platform/prompts.h"
#include "platform/settingslocation.h"
#include "platform/settingsstore.h"
#include "window/backdialog.h"
#include "window/helptext.h"
#include "window/inputrules.h"
#include "window/memberpanel.h"
#include "window/positiondialog.h"
#include "window/releasetext.h"
#include "window/stocklist.h"
#include "window/twips.h"
#include "window/windowconversation.h"

namespace quarzello {

namespace {
// What a list's edit box takes from the keyboard: Qt's own limit for a line edit.
constexpr int kLongestGridText = 32767;

// Qt gives a top-level QWidget the role of a client area, which assistive technology reports as
// a "filler" inside nothing: the window is made a window to it.
// Qt calls every line edit editable, also one the user cannot type in ("Formato"): such a box is
// told as read-only text, its text given to be read.
class ReadOnlyBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ReadOnlyBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

  private:
    QString shown() const { return static_cast<QLineEdit*>(widget())->text(); }
};

QAccessibleInterface* windowAccessible(const QString&, QObject* object) {
    if (auto* window = qobject_cast<frmQuarzello*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    if (auto* box = qobject_cast<QLineEdit*>(object); box && box->isReadOnly())
        return new ReadOnlyBoxAccessible(box);
    return nullptr;
}

bool isReturn(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}
}  // namespace

frmQuarzello::frmQuarzello(const QString& programFolder, const DataLocation& location,
                           Prompts& prompts, PrinterSystem& printers, PrintSettings settings,
                           QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      ownStore_(settings.store ? nullptr : std::make_unique<SettingsStore>(settingsFilePath())),
      store_(settings.store ? settings.store : ownStore_.get()),
      files_(programFolder, location, prompts),
      print_(prompts, printers, settings, [this] { return closing_; }),
      talk_(prompts, *this, closing_),
      printers_(printers),
      memberSettings_(std::move(settings)) {
    QAccessible::installFactory(windowAccessible);
    buildLayout();
    cmbCarta_->readOn(print_.pool());
    new FocusRing(this);
    // Every box and dialog, the first-run greeting included, belongs to this window.
    prompts_.setParentWindow(this);

    // The QR code choice is the user's, not the card's: kept in the settings, not the data file.
    chkQr_->setChecked(store_->qrCode());
    connect(chkQr_, &QCheckBox::toggled, this, [this](bool on) {
        if (const Result<void> kept = store_->rememberQrCode(on); !kept)
            prompts_.warn(kept.error());
    });
    connect(cmdEsci_, &QPushButton::clicked, this, &frmQuarzello::cmdEsci_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmQuarzello::cmdHelp_Click);
    connect(cmdSalva_, &QPushButton::clicked, this, &frmQuarzello::cmdSalva_Click);
    connect(cmdCarica_, &QPushButton::clicked, this, &frmQuarzello::cmdCarica_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &frmQuarzello::cmdStampa_Click);
    // A club's members, a page each, from a list or an address book: at the banner's left end.
    cmdElenco_ = new QPushButton(QStringLiteral("Elenco s&oci…"), this);
    cmdElenco_->setObjectName(QStringLiteral("cmdElenco"));
    cmdElenco_->setGeometry(twipsRect(60, 60, 1100, 315));
    cmdElenco_->setAutoDefault(false);
    cmdElenco_->stackUnder(frmDati_);
    cmdElenco_->setAccessibleName(QStringLiteral("Elenco soci"));
    cmdElenco_->setToolTip(QStringLiteral(
        "Stampa i biglietti dei soci di un elenco (CSV) o di una rubrica (vCard), uno per pagina"));
    connect(cmdElenco_, &QPushButton::clicked, this, &frmQuarzello::cmdElenco_Click);
    connect(cmbCarta_, &QComboBox::activated, this, &frmQuarzello::cmbCarta_Click);
    connect(cmdPosizione_, &QPushButton::clicked, this, &frmQuarzello::cmdPosizione_Click);
    connect(cmdRetro_, &QPushButton::clicked, this, &frmQuarzello::cmdRetro_Click);
    // The position is a printer's: there is none to put right for the PDF entry.
    const auto positionFollows = [this] { cmdPosizione_->setEnabled(!panelPrinter().isEmpty()); };
    connect(lstStampanti_, &QListWidget::itemSelectionChanged, this, positionFollows);
    connect(lstStampanti_, &QListWidget::currentItemChanged, this, positionFollows);
    connect(cmbCarta_, &StockList::choiceGone, this, [this](const QString& name) {
        showPaperGrid();
        prompts_.warn(QStringLiteral("La carta \"%1\" non è più installata: si stampa su A4 da "
                                     "tagliare.")
                          .arg(name));
        if (const Result<void> kept = store_->rememberPaper({}); !kept) prompts_.warn(kept.error());
    });
    for (int i = 0; i < 2; ++i)
        connect(cmdSelStampante_[i], &QPushButton::clicked, this,
                [this, i] { cmdSelStampante_Click(i); });
    // Any change of the help text hides the panel; the help button shows it again after.
    connect(txtHelp_, &QPlainTextEdit::textChanged, this, &frmQuarzello::hideHelp);
    // F1 shows the help as its button does, Escape hides it.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &frmQuarzello::cmdHelp_Click);
    auto* closeHelp = new QShortcut(QKeySequence(Qt::Key_Escape), txtHelp_);
    closeHelp->setContext(Qt::WidgetShortcut);
    connect(closeHelp, &QShortcut::activated, this, &frmQuarzello::hideHelp);
    // Escape in the printer panel does what its abandon button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), frmPrinter_);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { cmdSelStampante_Click(1); });
    // Return presses the focused button, as Space does; Return in the printer list prints.
    for (QPushButton* button : findChildren<QPushButton*>()) button->installEventFilter(this);
    lstStampanti_->installEventFilter(this);
    // A hidden list's entries are not focused: as it hides, the printer list and the entries of
    // each drop-down list give up their current entry (the choice made stays selected), and a
    // drop-down list opens again on its value.
    for (QComboBox* list : findChildren<QComboBox*>()) list->view()->installEventFilter(this);

    form_load();
    setUpPreview();
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
    frmPrinter_->move(twipsToPixels(3240), twipsToPixels(1500));
    txtHelp_->hide();
    txtHelp_->setGeometry(twipsRect(120, 480, 6735, 3855));

    lblTitolo_->setText(kWindowTitle);
    const int dataFrameLeft = frmDati_->x() * kTwipsPerPixel;
    const double widthTwips = frameGeometry().width() * kTwipsPerPixel - 3.5 * dataFrameLeft;
    lblTitolo_->setGeometry(frmDati_->x(), lblTitolo_->y(), twipsToPixels(widthTwips),
                            lblTitolo_->height());

    lblCopyright_->setText(releaseText());

    if (const std::optional<CardRecord> stored = files_.loadAtStartup(record())) setRecord(*stored);

    // The paper as chosen last time, by its name and grid: the catalogue is not read now.
    const PaperChoice paper = store_->paper();
    cmbCarta_->showChoice(paper.name);
    paperColumns_ = paper.columns;
    paperRows_ = paper.rows;
    showPaperGrid();
    // What the settings file held that could not be used is said once, as on the command line.
    for (const QString& warning : store_->takeWarnings()) prompts_.warn(warning);
}

CardRecord frmQuarzello::record() const {
    CardRecord record;
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = txtCampo_[i]->text();
    record.rows = ownGrid_ ? ownGrid_->first : cmbRighe_->currentText();
    record.columns = ownGrid_ ? ownGrid_->second : cmbColonne_->currentText();
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
    // On a product the lists go on showing its grid; the record's own comes back with A4.
    if (ownGrid_) {
        ownGrid_ = {record.rows, record.columns};
        showPaperGrid();
    }
}

void frmQuarzello::showPaperGrid() {
    const bool onStock = !cmbCarta_->choiceName().isEmpty();
    if (onStock) {
        if (!ownGrid_) ownGrid_ = {cmbRighe_->currentText(), cmbColonne_->currentText()};
        cmbRighe_->setCurrentText(QString::number(paperRows_));
        cmbColonne_->setCurrentText(QString::number(paperColumns_));
    } else if (ownGrid_) {
        const auto [rows, columns] = *ownGrid_;
        ownGrid_.reset();
        cmbRighe_->setCurrentText(rows);
        cmbColonne_->setCurrentText(columns);
    }
    cmbRighe_->setEnabled(!onStock);
    cmbColonne_->setEnabled(!onStock);
}

void frmQuarzello::cmbCarta_Click(int index) {
    (void)index;
    const std::optional<CardStock> stock = cmbCarta_->chosenStock();
    PaperChoice choice;
    if (stock) choice = {stock->name(), stock->columns(), stock->rows()};
    paperColumns_ = choice.columns;
    paperRows_ = choice.rows;
    showPaperGrid();
    if (const Result<void> kept = store_->rememberPaper(choice); !kept) prompts_.warn(kept.error());
}

QString frmQuarzello::panelPrinter() const {
    const QList<QListWidgetItem*> selected = lstStampanti_->selectedItems();
    const QListWidgetItem* entry =
        selected.isEmpty() ? lstStampanti_->currentItem() : selected.first();
    if (!entry || entry->data(Qt::UserRole).toBool()) return {};
    return entry->text();
}

void frmQuarzello::cmdPosizione_Click() {
    const QString printer = panelPrinter();
    if (printer.isEmpty()) return;
    const RememberedOffset remembered = store_->offset(printer);
    const RememberedOffset rememberedBack = store_->backOffset(printer);
    const std::optional<DuplexSetting> duplex = store_->duplex(printer);
    for (const QString& warning : store_->takeWarnings()) prompts_.warn(warning);
    auto* dialog =
        new PositionDialog(printer, remembered.offset, rememberedBack.offset, duplex, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Whether the printer prints both sides is asked off the window's thread; the dialog may be
    // gone by the answer.
    print_.lookUpTwoSided(
        printer, [dialog = QPointer<PositionDialog>(dialog)](std::optional<bool> twoSided) {
            if (dialog) dialog->setTwoSided(twoSided);
        });
    const auto keep = [this, printer, dialog] {
        const PrinterOffset offset = dialog->offset();
        Result<void> kept = store_->rememberOffset(printer, offset);
        if (kept) kept = store_->rememberBackOffset(printer, dialog->backOffset());
        if (kept && dialog->duplexChosen())
            kept = store_->rememberDuplex(printer, dialog->duplex());
        if (!kept) prompts_.warn(kept.error());
        if (kept && printer == previewPrinter_) {
            previewOffset_ = offset;
            backSetting_.reset();
            followInPreview();
        }
        return kept.ok();
    };
    connect(dialog, &QDialog::accepted, this, [keep] { keep(); });
    // The test sheet is printed with the offsets shown, kept first so that the print finds them.
    connect(dialog, &PositionDialog::testSheetWanted, this, [this, printer, keep] {
        if (print_.busy() || !keep()) return;
        cmbCarta_->whenChoiceKnown([this, printer, card = record()] {
            if (print_.busy() || closing_) return;
            SheetOptions options = sheetOptions();
            options.testSheet = true;
            print_.print(card, printer, talk_, options);
        });
    });
    // Modal to the window without a loop of its own: the window's events go on.
    dialog->open();
}

void frmQuarzello::cmdRetro_Click() {
    const CardBack start = store_->back();
    for (const QString& warning : store_->takeWarnings()) prompts_.warn(warning);
    auto* dialog = new BackDialog(start, chkQr_->isChecked(), prompts_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (const Result<void> kept = store_->rememberBack(dialog->back()); !kept)
            prompts_.warn(kept.error());
        backSetting_.reset();
        followInPreview();
    });
    // Modal to the window without a loop of its own: the window's events go on.
    dialog->open();
}

void frmQuarzello::cmdEsci_Click() {
    // One command at a time: while a print is under way, Exit, Save, Load and Print do nothing.
    if (print_.busy()) return;
    if (!prompts_.askYesNo(QStringLiteral("Vuoi uscire dal programma?"), PromptAnswer::Yes)) return;
    // Nothing is saved on the way out: only Save writes the data.
    close();
    QCoreApplication::quit();
}

void frmQuarzello::cmdHelp_Click() {
    // Pressed again while shown (its access key reaches it beneath the panel), the panel keeps
    // the place the focus goes back to.
    if (!txtHelp_->isVisible()) beforeHelp_ = focusWidget();
    // Set the text first: the change hides the panel, and showing it comes after.
    QString text = helpText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp_->setPlainText(text);
    txtHelp_->show();
    txtHelp_->setFocus(Qt::OtherFocusReason);
}

void frmQuarzello::hideHelp() {
    // The focus is moved before the panel goes: hidden with the focus, it would pass it on to
    // whatever comes next in the tab order.
    if (focusWidget() == txtHelp_ && beforeHelp_ && beforeHelp_->isVisible())
        beforeHelp_->setFocus(Qt::OtherFocusReason);
    txtHelp_->hide();
}

void frmQuarzello::txta4_Click() {
    prompts_.inform(QStringLiteral("Il dato è fisso: solo formato A4"));
}

void frmQuarzello::cmdSalva_Click() {
    if (print_.busy()) return;
    if (const std::optional<CardRecord> stored = files_.save(record())) setRecord(*stored);
}

void frmQuarzello::cmdCarica_Click() {
    if (print_.busy()) return;
    if (const std::optional<CardRecord> loaded = files_.load(record())) setRecord(*loaded);
}

void frmQuarzello::cmdStampa_Click() {
    if (print_.busy()) return;
    frmPrinter_->show();
    frmPrinter_->raise();
    // The panel's Stampa alone answers Alt+S while the panel is shown; the window's, beneath it,
    // keeps its underlined S.
    cmdStampa_->setShortcut(QKeySequence());
    // The panel has the keyboard at once: Escape gives up a list that is slow to come.
    lstStampanti_->setFocus(Qt::OtherFocusReason);
    VisualizzaListaStampanti();
}

void frmQuarzello::cmdElenco_Click() {
    if (print_.busy()) return;
    if (memberPanel_ && memberPanel_->busy()) {
        memberPanel_->readList({});  // tells why not
        return;
    }
    FileDialogRequest dialog;
    dialog.filter = QStringLiteral("Elenchi dei soci (*.csv *.vcf *.txt);;Tutti i file (*)");
    dialog.title = QStringLiteral("Elenco soci");
    const std::optional<QString> path = prompts_.chooseFile(dialog);
    if (!path) return;
    if (!memberPanel_) {
        memberPanel_ = std::make_unique<MemberPanel>(
            MemberPanelContext{prompts_, talk_, printers_, memberSettings_,
                               [this] { return sheetOptions(); }, [this] { return record(); },
                               [this](std::function<void(const QStringList&)> show) {
                                   print_.listPrinters(std::move(show));
                               }},
            this);
    }
    memberPanel_->readList(*path);
}

void frmQuarzello::VisualizzaListaStampanti() {
    print_.listPrinters([this](const QStringList& names) {
        lstStampanti_->clear();
        lstStampanti_->addItems(names);
        auto* pdf = new QListWidgetItem(kPdfEntry, lstStampanti_);
        pdf->setData(Qt::UserRole, true);
        QFont italic = pdf->font();
        italic.setItalic(true);
        pdf->setFont(italic);
        // Nothing selected; the printer a print goes to is the current entry, and the keyboard
        // starts from there. Printing on an entry that is not that printer is the user's choice.
        const QList<QListWidgetItem*> next =
            lstStampanti_->findItems(print_.printerWhenNoneChosen(), Qt::MatchExactly);
        lstStampanti_->clearSelection();
        lstStampanti_->setCurrentItem(next.isEmpty() ? nullptr : next.first(),
                                      QItemSelectionModel::NoUpdate);
    });
}

void frmQuarzello::hidePrinterPanel() {
    // The focus goes back to the window's Stampa, or to the help panel that lies over it.
    const QWidget* focus = focusWidget();
    if (!focus || frmPrinter_->isAncestorOf(focus))
        (txtHelp_->isVisible() ? static_cast<QWidget*>(txtHelp_) : cmdStampa_)
            ->setFocus(Qt::OtherFocusReason);
    frmPrinter_->hide();
    cmdStampa_->setShortcut(QKeySequence::mnemonic(cmdStampa_->text()));
}

void frmQuarzello::chooseCurrentPrinter() {
    // From the keyboard, the current entry is the one chosen.
    QListWidgetItem* current = lstStampanti_->currentItem();
    if (current && lstStampanti_->selectedItems().isEmpty()) current->setSelected(true);
}

void frmQuarzello::cmdSelStampante_Click(int index) {
    if (index != 0) {
        // Abandon, also while the list is being filled: that wait is given up at once.
        print_.giveUp();
        hidePrinterPanel();
        return;
    }
    if (print_.busy()) return;
    hidePrinterPanel();
    // The print works on a copy of the record: typing meanwhile changes nothing of it. On a
    // product it starts once the catalogue has been read.
    const QList<QListWidgetItem*> selected = lstStampanti_->selectedItems();
    const bool pdf = !selected.isEmpty() && selected.first()->data(Qt::UserRole).toBool();
    const QString printer = selected.isEmpty() || pdf ? QString() : selected.first()->text();
    cmbCarta_->whenChoiceKnown([this, pdf, printer, card = record()] {
        if (print_.busy() || closing_) return;
        if (pdf)
            print_.saveAsPdf(card, talk_, sheetOptions());
        else
            print_.print(card, printer, talk_, sheetOptions());
    });
}

SheetOptions frmQuarzello::sheetOptions() {
    // Once the paper list knows the choice: a product gone is told, and A4 da tagliare printed.
    SheetOptions options;
    if (std::optional<CardStock> stock = cmbCarta_->chosenStock())
        options.stock = std::make_shared<const CardStock>(std::move(*stock));
    options.qrCode = chkQr_->isChecked();
    return options;
}

void frmQuarzello::closeEvent(QCloseEvent* event) {
    // Whatever a print is waiting on is given up at once; the print tells nothing more. A job
    // whose document reached the service goes on there.
    closing_ = true;
    print_.giveUp();
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

bool frmQuarzello::focusNextPrevChild(bool next) {
    // While a panel is shown, Tab goes round its controls: those beneath it cannot be seen.
    // A disabled one is passed over.
    if (frmPrinter_->isVisible()) {
        const std::array<QWidget*, 4> round = {cmdPosizione_, lstStampanti_, cmdSelStampante_[0],
                                               cmdSelStampante_[1]};
        const int size = static_cast<int>(round.size());
        const auto at = std::find(round.begin(), round.end(), focusWidget());
        int here = static_cast<int>(at - round.begin());
        QWidget* to = lstStampanti_;
        if (at != round.end()) {
            do here = (here + (next ? 1 : size - 1)) % size;
            while (!round[here]->isEnabled());
            to = round[here];
        }
        to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    if (txtHelp_->isVisible()) {
        txtHelp_->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

bool frmQuarzello::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (int i = 0; i < kFieldCount; ++i)
            if (watched == txtCampo_[i]) return filterKeyPress(i, key);
        if (isReturn(key) && !key->isAutoRepeat()) {
            if (watched == lstStampanti_) {
                chooseCurrentPrinter();
                cmdSelStampante_[0]->click();
                return true;
            }
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
                return true;
            }
        }
    } else if (event->type() == QEvent::Hide && qobject_cast<QAbstractItemView*>(watched)) {
        static_cast<QAbstractItemView*>(watched)->selectionModel()->setCurrentIndex(
            {}, QItemSelectionModel::NoUpdate);
    } else if (event->type() == QEvent::Shortcut && watched == cmdSelStampante_[0]) {
        chooseCurrentPrinter();  // Alt+S prints on the current entry
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == txta4_) {
            txta4_Click();
            return false;
        }
        if (watched == txtHelp_->viewport()) {
            hideHelp();
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quarzello
