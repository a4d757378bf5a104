// The window's design: every frame, label, box, list and button, where it stands, what it says.
// Geometry is given in twips, as designed, and turned into logical pixels.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

#include "data/codepage.h"
#include "pictures.h"
#include "window/frmquarzello.h"
#include "window/stocklist.h"
#include "window/twips.h"

namespace quarzello {

namespace {

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kLightGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);

// The boxes refuse any character the data file's code page cannot hold, so that what a box
// shows is exactly what a Save will store. Typing and pasting both pass through here.
class CodePageValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return codepage::canHold(input) ? Acceptable : Invalid;
    }
};

// A picture compiled into the program: shown as it is, nothing to decode.
QPixmap picture(const uchar* pixels, int width, int height) {
    return QPixmap::fromImage(
        QImage(pixels, width, height, qsizetype(width) * 4, QImage::Format_ARGB32));
}

QFont windowFont(double points = 8.25, bool bold = false) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(false);
    return font;
}

void paint(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                     bool boldCaption, const QColor& captionColour, const QColor& background,
                     const QString& toolTip = {}) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(geometry);
    frame->setFont(windowFont(8.25, boldCaption));
    paint(frame, background, captionColour);
    frame->setToolTip(toolTip);
    return frame;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, QRect geometry,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(windowFont());
    label->setAlignment(alignment | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kWhite);
    label->setPalette(palette);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        QRect geometry, bool bold, const QString& toolTip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(windowFont(8.25, bold));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QComboBox* makeGridList(QWidget* parent, const char* name, int entries, const QString& initial,
                        QRect geometry, const QString& toolTip) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    // Whatever is typed stays as typed; Return must not add it to the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= entries; ++i) combo->addItem(QString::number(i));
    combo->setCurrentText(initial);
    // The grid texts go into the data file like the fields: what the code page cannot hold is
    // refused when typed or pasted.
    combo->lineEdit()->setValidator(new CodePageValidator(combo));
    combo->setGeometry(geometry);
    combo->setFont(windowFont());
    combo->setToolTip(toolTip);
    return combo;
}

struct FieldDesign {
    const char* caption;  // nullptr: no caption of its own
    int captionIndex;
    QRect captionRect;
    Qt::Alignment captionAlignment;
    QRect boxRect;
    Qt::Alignment boxAlignment;
    const char* toolTip;
    // What a screen reader calls the box: its caption without the colon, or what the caption
    // shares or abbreviates spelt out.
    const char* spokenName;
};

}  // namespace

void frmQuarzello::buildLayout() {
    setObjectName(QStringLiteral("frmQuarzello"));
    setWindowTitle(QStringLiteral("Quarzello del camperista di Velanda"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(6915), twipsToPixels(4515));
    setWindowIcon(QIcon(picture(pictures::icon, pictures::iconWidth, pictures::iconHeight)));
    setFont(windowFont());
    paint(this, kTeal, kBlack);

    // Created from back to front: a later sibling is drawn over an earlier one.
    // The design's caption; start-up replaces it with the window title (frmQuarzello's
    // constructor) and makes the banner as wide as the data frame allows.
    lblTitolo_ = new QLabel(QStringLiteral("Quarzello del Camperista di Velanda"), this);
    lblTitolo_->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo_->setGeometry(twipsRect(60, 30, 6800, 375));
    lblTitolo_->setFont(windowFont(12, true));
    lblTitolo_->setAlignment(Qt::AlignCenter);
    lblTitolo_->setFrameShape(QFrame::Box);
    lblTitolo_->setLineWidth(1);
    paint(lblTitolo_, kTeal, kYellow);

    frmDati_ = makeFrame(this, "frmDati", QStringLiteral("Dati personali:"),
                         twipsRect(60, 480, 4250, 3975), true, kWhite, kTeal,
                         QStringLiteral("Area dati personali (dati non obbligatori)"));

    const Qt::Alignment right = Qt::AlignRight;
    const Qt::Alignment left = Qt::AlignLeft;
    const std::array<FieldDesign, kFieldCount> fields = {{
        {"Titolo:", 0, twipsRect(25, 320, 750, 220), right, twipsRect(850, 265, 1000, 300), left,
         "Indicare, se preferito, Dott., Rag, ecc.", "Titolo"},
        {"Nome:", 1, twipsRect(25, 743, 750, 220), right, twipsRect(850, 655, 3285, 300), left,
         "Indicare il nome (od i nomi: p.e.: Mario e Maria...)", "Nome"},
        {"Cognome:", 2, twipsRect(25, 1161, 750, 220), right, twipsRect(850, 1075, 3285, 300), left,
         "Indicare il cognome", "Cognome"},
        {"Incarico:", 5, twipsRect(25, 1579, 750, 220), right, twipsRect(850, 1495, 3285, 300),
         left, "Indicare l'eventuale incarico (Presidente circolo...)", "Incarico"},
        {"Indirizzo:", 3, twipsRect(25, 2002, 750, 220), right, twipsRect(850, 1920, 3285, 300),
         left, "Indicare l'indirizzo: Via e numero civico", "Indirizzo"},
        {"Cap/Città:", 4, twipsRect(25, 2420, 750, 220), right, twipsRect(850, 2335, 765, 300),
         Qt::AlignHCenter, "Indicare il CAP", "CAP"},
        {nullptr,
         -1,
         {},
         right,
         twipsRect(1700, 2360, 2445, 300),
         left,
         "Indicare la Città (e la provincia, se necessario)",
         "Città"},
        {"Telefono:", 6, twipsRect(25, 2838, 750, 220), right, twipsRect(850, 2755, 1335, 300),
         right, "Indicare il numero di telefono fisso", "Telefono"},
        {"Cell.", 7, twipsRect(2270, 2849, 315, 180), left, twipsRect(2690, 2775, 1455, 300), right,
         "Indicare il numero di cellulare", "Cellulare"},
        {"E-mail:", 8, twipsRect(25, 3256, 750, 220), right, twipsRect(850, 3175, 3285, 300), left,
         "Indicare l'indirizzo e-mail (o più d'uno, separati da ;)", "E-mail"},
        {"Sito:", 9, twipsRect(25, 3680, 750, 220), right, twipsRect(850, 3600, 3285, 300), left,
         "Indicare l'eventuale sito personale", "Sito"},
    }};
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldDesign& design = fields[i];
        QLabel* caption =
            design.caption
                ? makeLabel(frmDati_, QStringLiteral("lblDesc_%1").arg(design.captionIndex),
                            QString::fromUtf8(design.caption), design.captionRect,
                            design.captionAlignment)
                : nullptr;
        auto* box = new QLineEdit(frmDati_);
        if (caption) caption->setBuddy(box);
        box->setAccessibleName(QString::fromUtf8(design.spokenName));
        box->setObjectName(QStringLiteral("txtCampo_%1").arg(i));
        box->setGeometry(design.boxRect);
        box->setFont(windowFont());
        box->setMaxLength(kMaxLength[i]);
        box->setAlignment(design.boxAlignment | Qt::AlignVCenter);
        box->setToolTip(QString::fromUtf8(design.toolTip));
        box->setValidator(new CodePageValidator(box));
        box->installEventFilter(this);
        // A value loaded longer than the box normally takes is kept whole; once the user has
        // brought it within the limit, the limit holds again.
        connect(box, &QLineEdit::textChanged, box, [box, i](const QString& text) {
            if (box->maxLength() > kMaxLength[i] && text.size() <= kMaxLength[i])
                box->setMaxLength(kMaxLength[i]);
        });
        txtCampo_[i] = box;
    }

    frmPagina_ =
        makeFrame(this, "frmPagina", QStringLiteral("Pagina:"), twipsRect(4350, 480, 2500, 1425),
                  true, kWhite, kTeal, QStringLiteral("Area tipologia di stampa"));
    QLabel* lblFormato =
        makeLabel(frmPagina_, QStringLiteral("lblFormato"), QStringLiteral("Formato della pagina:"),
                  twipsRect(120, 300, 1640, 255), Qt::AlignLeft);
    txta4_ = new QLineEdit(QStringLiteral("A4"), frmPagina_);
    // Read-only from the start: assistive technology's view of the box is made at its first
    // change, and tells it read-only only if it is then.
    txta4_->setReadOnly(true);
    lblFormato->setBuddy(txta4_);
    txta4_->setAccessibleName(QStringLiteral("Formato della pagina"));
    txta4_->setObjectName(QStringLiteral("txta4"));
    txta4_->setGeometry(twipsRect(2005, 300, 350, 240));
    txta4_->setFont(windowFont());
    txta4_->setAlignment(Qt::AlignCenter);
    txta4_->setToolTip(QStringLiteral("Formato pagina: campo fisso in A4"));
    txta4_->installEventFilter(this);
    // The paper on the frame's title line, clear of its caption and as wide as the boxes below
    // reach: the window keeps its size and its controls their places.
    cmbCarta_ = new StockList(frmPagina_);
    cmbCarta_->setObjectName(QStringLiteral("cmbCarta"));
    cmbCarta_->setAccessibleName(QStringLiteral("Carta"));
    cmbCarta_->setGeometry(twipsRect(690, 0, 1665, 240));
    cmbCarta_->setFont(windowFont());
    cmbCarta_->setToolTip(
        QStringLiteral("Carta: A4 da tagliare, o una carta prefustellata per "
                       "biglietti da visita"));
    QLabel* lblRighe =
        makeLabel(frmPagina_, QStringLiteral("lblRighe"), QStringLiteral("Righe per pagina:"),
                  twipsRect(120, 700, 1640, 255), Qt::AlignLeft);
    cmbRighe_ =
        makeGridList(frmPagina_, "cmbRighe", 8, QStringLiteral("6"), twipsRect(1860, 585, 495, 315),
                     QStringLiteral("Numero di righe stampate per pagina (ripetizione "
                                    "biglietto)"));
    QLabel* lblColonne =
        makeLabel(frmPagina_, QStringLiteral("lblColonne"), QStringLiteral("Colonne per pagina:"),
                  twipsRect(120, 1100, 1640, 255), Qt::AlignLeft);
    cmbColonne_ = makeGridList(frmPagina_, "cmbColonne", 4, QStringLiteral("2"),
                               twipsRect(1860, 980, 495, 315),
                               QStringLiteral("Numero di colonne stampate per pagina "
                                              "(ripetizione biglietto)"));
    // Qt on Linux gives an editable list's text as its name: the label names the list through
    // the label relation, and its edit part, which takes the focus, by a name of its own.
    for (auto [label, list] : {std::pair{lblRighe, cmbRighe_}, {lblColonne, cmbColonne_}}) {
        label->setBuddy(list);
        const QString name = label->text().chopped(1);
        list->setAccessibleName(name);
        list->lineEdit()->setAccessibleName(name);
    }

    Frame1_ = makeFrame(this, "Frame1", QStringLiteral("Memorizzazione biglietti:"),
                        twipsRect(4350, 1951, 2500, 855), false, kWhite, kTeal);
    cmdCarica_ = makeButton(Frame1_, QStringLiteral("cmdCarica"), QStringLiteral("&Carica"),
                            twipsRect(120, 360, 750, 375), false,
                            QStringLiteral("Carica i dati personali già salvati su file."));
    cmdSalva_ = makeButton(Frame1_, QStringLiteral("cmdSalva"), QStringLiteral("Sa&lva"),
                           twipsRect(1080, 360, 750, 375), false,
                           QStringLiteral("Salva i dati personali su file."));
    cmdHelp_ = makeButton(Frame1_, QStringLiteral("cmdHelp"), QStringLiteral("&?"),
                          twipsRect(2040, 360, 255, 375), true, QStringLiteral("Help, Istruzioni"));
    cmdHelp_->setAccessibleName(QStringLiteral("Aiuto"));

    frmlogo_ = makeFrame(this, "frmlogo", QString(), twipsRect(4350, 3755, 2500, 700), false,
                         kWhite, kTeal);
    auto* imgCG = new QLabel(frmlogo_);
    imgCG->setObjectName(QStringLiteral("imgCG"));
    imgCG->setGeometry(twipsRect(60, 120, 520, 550));
    imgCG->setPixmap(picture(pictures::imgCG, pictures::imgCGWidth, pictures::imgCGHeight));
    imgCG->setScaledContents(true);
    imgCG->setAccessibleName(QStringLiteral("Disegno di un camper"));
    lblCopyright_ = new QLabel(frmlogo_);
    lblCopyright_->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright_->setGeometry(twipsRect(600, 120, 1290, 555));
    {
        QFont font(QStringLiteral("MS Serif"));
        font.setPointSizeF(6.75);
        font.setBold(false);
        lblCopyright_->setFont(font);
    }
    lblCopyright_->setAlignment(Qt::AlignCenter);
    lblCopyright_->setFrameShape(QFrame::Box);
    lblCopyright_->setToolTip(QStringLiteral("Versione del pacchetto"));
    paint(lblCopyright_, kYellow, kBlack);
    auto* imgCN = new QLabel(frmlogo_);
    imgCN->setObjectName(QStringLiteral("imgCN"));
    imgCN->setGeometry(twipsRect(1920, 120, 525, 555));
    imgCN->setPixmap(picture(pictures::imgCN, pictures::imgCNWidth, pictures::imgCNHeight));
    imgCN->setScaledContents(true);
    imgCN->setAccessibleName(QStringLiteral("Disegno di un biglietto da visita"));

    frmButton_ = makeFrame(this, "frmButton", QString(), twipsRect(4350, 2852, 2500, 855), false,
                           kWhite, kTeal);
    cmdStampa_ = makeButton(frmButton_, QStringLiteral("cmdStampa"), QStringLiteral("&Stampa"),
                            twipsRect(120, 360, 1000, 400), true,
                            QStringLiteral("Stampa i biglietti (colonne per righe per pagina)"));
    cmdEsci_ = makeButton(frmButton_, QStringLiteral("cmdEsci"), QStringLiteral("&Esci"),
                          twipsRect(1400, 360, 900, 400), false,
                          QStringLiteral("Fine, uscita dal programma"));

    // Above the print buttons, the free strip of their frame: it changes what is printed.
    chkQr_ = new QCheckBox(QStringLiteral("Codice &QR"), frmButton_);
    chkQr_->setObjectName(QStringLiteral("chkQr"));
    chkQr_->setGeometry(twipsRect(120, 60, 1200, 270));
    chkQr_->setFont(windowFont());
    chkQr_->setToolTip(QStringLiteral(
        "Stampa su ogni biglietto un codice QR con i dati personali come contatto (vCard): "
        "inquadrato con il telefono, li aggiunge alla rubrica."));
    QPalette qrPalette = chkQr_->palette();
    qrPalette.setColor(QPalette::WindowText, kWhite);
    chkQr_->setPalette(qrPalette);
    // Beside it, above Esci: the back of the card changes what is printed too.
    cmdRetro_ = makeButton(frmButton_, QStringLiteral("cmdRetro"), QStringLiteral("Re&tro…"),
                           twipsRect(1400, 45, 900, 285), false,
                           QStringLiteral("Il retro dei biglietti: stemma del circolo, righe, "
                                          "codice QR, e se stamparlo"));
    cmdRetro_->setAccessibleName(QStringLiteral("Retro"));
    cmdRetro_->setAccessibleDescription(
        QStringLiteral("Imposta il retro dei biglietti: lo stemma del circolo, fino a tre righe, "
                       "il codice QR sul retro, e se stampare anche il retro"));

    txtHelp_ = new QPlainTextEdit(this);
    txtHelp_->setObjectName(QStringLiteral("txtHelp"));
    txtHelp_->setGeometry(twipsRect(4920, 240, 1935, 375));
    txtHelp_->setFont(windowFont());
    txtHelp_->setReadOnly(true);
    txtHelp_->setFocusPolicy(Qt::StrongFocus);
    txtHelp_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelp_->setPlainText(QStringLiteral("(Istruzioni)\n"));
    txtHelp_->setAccessibleName(QStringLiteral("Istruzioni"));
    txtHelp_->viewport()->installEventFilter(this);

    frmPrinter_ = makeFrame(this, "frmPrinter", QStringLiteral("Selezione stampante:"),
                            twipsRect(2520, 1500, 3615, 2820), true, kBlack, kLightGrey);
    lstStampanti_ = new QListWidget(frmPrinter_);
    lstStampanti_->setObjectName(QStringLiteral("lstStampanti"));
    lstStampanti_->setGeometry(twipsRect(360, 360, 3015, 1425));
    lstStampanti_->setFont(windowFont(8.25, true));
    lstStampanti_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstStampanti_->setAccessibleName(QStringLiteral("Stampanti"));
    // Sorted when filled: the PDF entry stays last, below the printers.
    cmdSelStampante_[0] =
        makeButton(frmPrinter_, QStringLiteral("cmdSelStampante_0"), QStringLiteral("&Stampa"),
                   twipsRect(360, 2295, 1335, 375), true, QStringLiteral("Avvio della stampa"));
    // Told apart from the window's own Stampa, which has the same caption.
    cmdSelStampante_[0]->setAccessibleName(QStringLiteral("Stampa sulla stampante scelta"));
    cmdSelStampante_[1] =
        makeButton(frmPrinter_, QStringLiteral("cmdSelStampante_1"), QStringLiteral("&Rinuncia"),
                   twipsRect(2040, 2295, 1335, 375), true, QStringLiteral("Rinuncia alla stampa"));

    // Under the list, as wide as it: it acts on the entry chosen there.
    cmdPosizione_ =
        makeButton(frmPrinter_, QStringLiteral("cmdPosizione"),
                   QStringLiteral("Regola la &posizione…"), twipsRect(360, 1860, 3015, 375), false,
                   QStringLiteral("Sposta la stampa sul foglio, per la stampante scelta"));
    cmdPosizione_->setEnabled(false);

    setTabOrder();
    QWidget::setTabOrder(cmbColonne_, chkQr_);
    QWidget::setTabOrder(chkQr_, cmdRetro_);
    txtCampo_[0]->setFocus();
}

void frmQuarzello::setTabOrder() {
    QList<QWidget*> order(txtCampo_.begin(), txtCampo_.end());
    order << txta4_ << cmbCarta_ << cmbRighe_ << cmbColonne_ << cmdSalva_ << cmdHelp_ << cmdCarica_
          << cmdEsci_ << cmdStampa_ << txtHelp_ << cmdSelStampante_[0] << cmdSelStampante_[1]
          << lstStampanti_;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace quarzello
