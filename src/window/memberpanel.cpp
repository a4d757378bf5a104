// The member panel. A print of the ticked members runs on a thread of the pool; what it asks and
// tells goes to the window's conversation on the window's thread, the run waiting for the
// answer, and Annulla stops it between pages (and answers a question still waited on with no).
#include "window/memberpanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "data/cardfile.h"
#include "flows/printpages.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "window/preview.h"

namespace quarzello {

// The run's side of the conversation: questions wait for the window's answer, the rest is told
// there in order; nothing more once stopped.
class RunConversation final : public PrintConversation,
                              public std::enable_shared_from_this<RunConversation> {
  public:
    RunConversation(PrintConversation& target, QObject& context,
                    std::function<void(int, int)> progress)
        : target_(target), context_(&context), progress_(std::move(progress)) {}

    bool printShortened(const QStringList& lines) override {
        return ask<bool>([this, lines] { return target_.printShortened(lines); }, false);
    }
    MarginReply printOutsideMargins(const QString& printer, const MarginLoss& loss,
                                    const PrintableArea& area,
                                    std::optional<MarginChoice> remembered) override {
        return ask<MarginReply>(
            [=, this] { return target_.printOutsideMargins(printer, loss, area, remembered); },
            MarginReply{MarginChoice::Cancel, false});
    }
    bool printWithoutQr(const QString& page, const QString& notFit,
                        const std::function<QString()>& largest) override {
        // Worked out here, on the run's own surface, before the question goes over.
        const QString largestText = largest();
        return ask<bool>(
            [=, this] {
                return target_.printWithoutQr(page, notFit, [largestText] { return largestText; });
            },
            false);
    }
    bool sendToStoppedPrinter(const QString& printer, const QString& reason) override {
        return ask<bool>([=, this] { return target_.sendToStoppedPrinter(printer, reason); },
                         false);
    }
    void pageShortened(const QString& page, const QStringList& lines) override {
        tell([=, this] { target_.pageShortened(page, lines); });
    }
    void pageDrawn(int drawn, int pages) override {
        tell([=, this] { progress_(drawn, pages); });
    }
    bool printBacks(const QString& printer, const DuplexSetting& duplex, int sheets) override {
        return ask<bool>([=, this] { return target_.printBacks(printer, duplex, sheets); }, false);
    }
    // The emblem cannot be read: print the back without it? Asked in the window.
    bool printWithoutEmblem(Prompts& prompts, const QString& why) {
        return ask<bool>(
            [&prompts, why] {
                return prompts.askYesNo(printWithoutEmblemQuestion(why), PromptAnswer::Yes);
            },
            false);
    }
    bool stopped() const override { return stopped_; }
    void fail(const QString& text) override {
        tell([=, this] { target_.fail(text); });
    }
    void done(const QString& text) override {
        tell([=, this] { target_.done(text); });
    }

    // From the window's thread: the run stops at the next page, a question waited on is no.
    void stop() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopped_ = true;
        }
        answered_.notify_all();
    }

  private:
    void tell(std::function<void()> what) {
        if (stopped_) return;
        QMetaObject::invokeMethod(
            context_,
            [self = shared_from_this(), what = std::move(what)] {
                if (!self->stopped_) what();
            },
            Qt::QueuedConnection);
    }

    template <typename T>
    T ask(std::function<T()> question, T ifStopped) {
        auto answer = std::make_shared<std::optional<T>>();
        if (stopped_) return ifStopped;
        QMetaObject::invokeMethod(
            context_,
            [self = shared_from_this(), answer, question = std::move(question), ifStopped] {
                const T given = self->stopped_ ? ifStopped : question();
                {
                    const std::lock_guard<std::mutex> lock(self->mutex_);
                    *answer = given;
                }
                self->answered_.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock<std::mutex> lock(mutex_);
        answered_.wait(lock, [&] { return answer->has_value() || stopped_; });
        return answer->has_value() && !stopped_ ? **answer : ifStopped;
    }

    PrintConversation& target_;
    QObject* context_;
    std::function<void(int, int)> progress_;
    std::atomic<bool> stopped_ = false;
    std::mutex mutex_;
    std::condition_variable answered_;
};

namespace {

const QString kTitle = QStringLiteral("Elenco soci");

QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

MemberPanel::MemberPanel(MemberPanelContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    pool_ = context_.settings.pool;
    if (!pool_) {
        ownPool_ = std::make_unique<QThreadPool>();
        pool_ = ownPool_.get();
    }
    setObjectName(QStringLiteral("frmElenco"));
    setWindowTitle(kTitle);
    // The window beneath takes no command while the panel is open: one command at a time.
    setWindowModality(Qt::WindowModal);

    lblLetti_ = new QLabel(this);
    lblLetti_->setObjectName(QStringLiteral("lblLetti"));
    lblLetti_->setWordWrap(true);
    txtAvvisi_ = new QPlainTextEdit(this);
    txtAvvisi_->setObjectName(QStringLiteral("txtAvvisi"));
    txtAvvisi_->setReadOnly(true);
    txtAvvisi_->setAccessibleName(QStringLiteral("Avvisi sull'elenco"));
    txtAvvisi_->setMaximumHeight(90);
    lstSoci_ = new QListWidget(this);
    lstSoci_->setObjectName(QStringLiteral("lstSoci"));
    lstSoci_->setAccessibleName(QStringLiteral("Soci (cognome, nome, città)"));
    lstSoci_->setMinimumWidth(260);
    cmdTutti_ = makeButton(QStringLiteral("&Tutti"), QStringLiteral("cmdTutti"), this);
    cmdNessuno_ = makeButton(QStringLiteral("&Nessuno"), QStringLiteral("cmdNessuno"), this);
    preview_ = new SheetPreview(this);
    preview_->setFixedSize(SheetPreview::widthFor(420), 420);
    auto* lblStampante = new QLabel(QStringLiteral("Stam&pante:"), this);
    cmbStampante_ = new QComboBox(this);
    cmbStampante_->setObjectName(QStringLiteral("cmbStampante"));
    lblStampante->setBuddy(cmbStampante_);
    cmdStampa_ =
        makeButton(QStringLiteral("&Stampa i soci scelti"), QStringLiteral("cmdStampaSoci"), this);
    barFogli_ = new QProgressBar(this);
    barFogli_->setObjectName(QStringLiteral("barFogli"));
    barFogli_->setFormat(QStringLiteral("Foglio %v di %m"));
    barFogli_->setAccessibleName(QStringLiteral("Fogli preparati"));
    cmdAnnulla_ = makeButton(QStringLiteral("&Annulla"), QStringLiteral("cmdAnnulla"), this);
    cmdChiudi_ = makeButton(QStringLiteral("&Chiudi"), QStringLiteral("cmdChiudi"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblLetti_, 0, 0, 1, 3);
    grid->addWidget(txtAvvisi_, 1, 0, 1, 3);
    grid->addWidget(lstSoci_, 2, 0, 1, 2);
    grid->addWidget(preview_, 2, 2, 2, 1);
    grid->addWidget(cmdTutti_, 3, 0, Qt::AlignTop);
    grid->addWidget(cmdNessuno_, 3, 1, Qt::AlignTop);
    auto* commands = new QHBoxLayout;
    commands->addWidget(lblStampante);
    commands->addWidget(cmbStampante_, 1);
    commands->addWidget(cmdStampa_);
    commands->addWidget(cmdChiudi_);
    grid->addLayout(commands, 4, 0, 1, 3);
    auto* progress = new QHBoxLayout;
    progress->addWidget(barFogli_, 1);
    progress->addWidget(cmdAnnulla_);
    grid->addLayout(progress, 5, 0, 1, 3);
    barFogli_->hide();
    cmdAnnulla_->hide();

    connect(cmdTutti_, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(cmdNessuno_, &QPushButton::clicked, this, [this] { tickAll(false); });
    connect(lstSoci_, &QListWidget::currentRowChanged, this, &MemberPanel::followSelected);
    connect(cmdStampa_, &QPushButton::clicked, this, &MemberPanel::printTicked);
    connect(cmdAnnulla_, &QPushButton::clicked, this, &MemberPanel::cancel);
    connect(cmdChiudi_, &QPushButton::clicked, this, &MemberPanel::reject);
    connect(&reading_, &QFutureWatcherBase::finished, this, [this] {
        const std::shared_ptr<Result<MemberList>> list = reading_.result();
        showList(reading_.property("path").toString(), *list);
    });
    connect(&printing_, &QFutureWatcherBase::finished, this, &MemberPanel::finished);
}

MemberPanel::~MemberPanel() {
    if (run_) run_->stop();
    reading_.waitForFinished();
    printing_.waitForFinished();
}

bool MemberPanel::busy() const { return reading_.isRunning() || printing_.isRunning(); }

void MemberPanel::readList(const QString& path) {
    if (busy()) {
        context_.prompts.warn(
            QStringLiteral("Un elenco dei soci è già in lettura o in stampa: attenderne la fine, "
                           "o annullare la stampa, prima di aprirne un altro."));
        return;
    }
    reading_.setProperty("path", path);
    reading_.setFuture(QtConcurrent::run(
        pool_, [path] { return std::make_shared<Result<MemberList>>(readMemberList(path)); }));
}

void MemberPanel::showList(const QString& path, Result<MemberList>& list) {
    if (!list) {
        context_.prompts.warn(list.error());
        return;
    }
    path_ = path;
    members_ = std::move((*list).members);
    lblLetti_->setText(QStringLiteral("Dal file %1: %2 soci letti.")
                           .arg(QFileInfo(path).fileName())
                           .arg(members_.size()));
    txtAvvisi_->setPlainText(list->warnings.join(QLatin1Char('\n')));
    txtAvvisi_->setVisible(!list->warnings.isEmpty());
    lstSoci_->clear();
    for (const Member& member : members_) {
        const auto& f = member.record.fields;
        QStringList parts;
        for (const QString& part : {f[Surname], f[FirstName], f[Town]})
            if (!part.trimmed().isEmpty()) parts << part.trimmed();
        auto* item = new QListWidgetItem(
            parts.isEmpty() ? member.name() : parts.join(QStringLiteral(", ")).left(120), lstSoci_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    lstSoci_->setCurrentRow(0);
    if (context_.listPrinters)
        context_.listPrinters([this](const QStringList& names) {
            const QString chosen = cmbStampante_->currentText();
            cmbStampante_->clear();
            cmbStampante_->addItems(names);
            cmbStampante_->addItem(kPdfEntry);
            if (const int at = cmbStampante_->findText(chosen); at >= 0)
                cmbStampante_->setCurrentIndex(at);
        });
    else if (cmbStampante_->count() == 0)
        cmbStampante_->addItem(kPdfEntry);
    show();
    raise();
    activateWindow();
    lstSoci_->setFocus(Qt::OtherFocusReason);
}

void MemberPanel::tickAll(bool ticked) {
    for (int i = 0; i < lstSoci_->count(); ++i)
        lstSoci_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

// A member's page: the member's grid, else the window's.
static SheetPage pageOf(const Member& member, const CardRecord& window) {
    SheetPage page{
        member.record,
        QStringLiteral("la riga %1 dell'elenco (%2)").arg(member.line).arg(member.name())};
    if (page.record.rows.isEmpty()) page.record.rows = window.rows;
    if (page.record.columns.isEmpty()) page.record.columns = window.columns;
    return page;
}

void MemberPanel::followSelected() {
    const int row = lstSoci_->currentRow();
    if (row < 0 || std::size_t(row) >= members_.size()) return;
    preview_->follow(pageOf(members_[std::size_t(row)], context_.windowRecord()).record,
                     context_.options());
}

std::vector<SheetPage> MemberPanel::tickedPages() const {
    std::vector<SheetPage> pages;
    const CardRecord window = context_.windowRecord();
    for (int i = 0; i < lstSoci_->count() && std::size_t(i) < members_.size(); ++i)
        if (lstSoci_->item(i)->checkState() == Qt::Checked)
            pages.push_back(pageOf(members_[std::size_t(i)], window));
    return pages;
}

void MemberPanel::printTicked() {
    if (busy()) return;
    std::vector<SheetPage> pages = tickedPages();
    if (pages.empty()) {
        context_.prompts.warn(
            QStringLiteral("Nessun socio è spuntato nell'elenco: non c'è niente da stampare."));
        return;
    }
    std::optional<PageRun> run = readPageRun(std::move(pages), context_.talk, context_.options());
    if (!run) return;
    const QString entry = cmbStampante_->currentText();
    if (entry.isEmpty()) {
        context_.talk.fail(QStringLiteral("Nessuna stampante scelta: sceglierne una dall'elenco."));
        return;
    }
    if (entry != kPdfEntry) {
        runOnPrinter(std::move(*run), entry);
        return;
    }
    FileDialogRequest dialog;
    dialog.kind = FileDialogKind::Save;
    dialog.filter = QStringLiteral("Documento PDF (*.pdf)");
    dialog.initialPath = QFileInfo(path_).absolutePath();
    dialog.title = QStringLiteral("Salva PDF dei soci");
    dialog.confirmOverwrite = true;
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> answer = context_.prompts.chooseFile(dialog);
    if (!answer) return;
    QString path = *answer;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
        if (QFileInfo(path).isFile() &&
            !context_.prompts.askYesNo(overwriteQuestion(path), PromptAnswer::Yes))
            return;
    }
    runIntoPdf(std::move(*run), path);
}

void MemberPanel::started(int sheets) {
    run_ = std::make_shared<RunConversation>(context_.talk, *this, [this](int drawn, int pages) {
        barFogli_->setRange(0, pages);
        barFogli_->setValue(drawn);
    });
    barFogli_->setRange(0, sheets);
    barFogli_->setValue(0);
    barFogli_->show();
    cmdAnnulla_->show();
    cmdAnnulla_->setFocus(Qt::OtherFocusReason);
    cmdStampa_->setEnabled(false);
}

void MemberPanel::runIntoPdf(PageRun run, const QString& path) {
    pdfTarget_ = path;
    started(int(run.pages.size()));
    const PrintSettings& settings = context_.settings;
    // With the back, front and back pages in turn, laid out for the long edge.
    printing_.setFuture(
        QtConcurrent::run(pool_,
                          [talk = run_, run = std::move(run), path, surfaces = settings.surfaces,
                           back = settings.store ? settings.store->back() : CardBack{},
                           &prompts = context_.prompts]() mutable -> std::optional<QByteArray> {
                              run.options.back.reset();
                              if (back.print && back.hasContent(run.options.qrCode)) {
                                  const std::optional<std::shared_ptr<const BackContent>> content =
                                      readBack(back, run.options.qrCode, TurnEdge::Long, {}, *talk,
                                               [&talk, &prompts](const QString& why) {
                                                   return talk->printWithoutEmblem(prompts, why);
                                               });
                                  if (!content) return std::nullopt;
                                  run.options.back = *content;
                              }
                              return pdfOfPages(run, path, surfaces, *talk);
                          }));
}

void MemberPanel::runOnPrinter(PageRun run, const QString& printer) {
    pdfTarget_.clear();
    started(int(run.pages.size()));
    const PrintSettings& settings = context_.settings;
    JobRequest request{printer, context_.printers, settings.timings.followMs, settings.margins,
                       settings.store ? settings.store->offset(printer).offset : PrinterOffset{}};
    // The back as the window prints it: the printer's two-sided way and its back offset.
    CardBack back;
    std::optional<DuplexSetting> duplex;
    if (settings.store) {
        back = settings.store->back();
        duplex = settings.store->duplex(printer);
        request.backOffset = settings.store->backOffset(printer).offset;
    }
    printing_.setFuture(QtConcurrent::run(
        pool_,
        [talk = run_, run = std::move(run), request = std::move(request),
         surfaces = settings.surfaces, budget = settings.timings.budgetMs, back, duplex,
         &prompts = context_.prompts]() mutable -> std::optional<QByteArray> {
            if (!addBack(run, request, back, duplex, *talk, [&talk, &prompts](const QString& why) {
                    return talk->printWithoutEmblem(prompts, why);
                }))
                return std::nullopt;
            printPagesOnPrinterHere(std::move(run), std::move(request), std::move(surfaces), budget,
                                    *talk);
            return std::nullopt;
        }));
}

void MemberPanel::cancel() {
    if (run_) run_->stop();
}

void MemberPanel::finished() {
    const bool stopped = run_ && run_->stopped();
    barFogli_->hide();
    cmdAnnulla_->hide();
    cmdStampa_->setEnabled(true);
    cmdStampa_->setFocus(Qt::OtherFocusReason);
    const std::optional<QByteArray> pdf = printing_.result();
    if (stopped) {
        lblLetti_->setText(
            QStringLiteral("Stampa annullata: non è stato scritto né inviato "
                           "nessun foglio."));
        return;
    }
    if (pdfTarget_.isEmpty() || !pdf) return;
    // Written whole or not at all: a PDF already there is kept when writing fails.
    if (const Result<void> written = writeFileAtomically(pdfTarget_, *pdf); !written) {
        context_.talk.fail(
            twoParagraphs(written.error(), QStringLiteral("Il file PDF non è stato salvato.")));
        return;
    }
    context_.prompts.message({kPrintDoneTitle,
                              QStringLiteral("Il file %1 è stato salvato.").arg(pdfTarget_),
                              PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok});
}

void MemberPanel::reject() {
    // Closing while a print runs gives it up first.
    cancel();
    QDialog::reject();
}

}  // namespace quarzello
