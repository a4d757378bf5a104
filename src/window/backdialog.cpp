// The back's dialog. The thumbnail is read small, at the size it is shown; the emblem itself is
// read again, whole and checked, at each print.
#include "window/backdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/focusring.h"
#include "platform/prompts.h"
#include "print/emblem.h"

namespace quarzello {

namespace {

constexpr int kThumbnail = 96;

// The picture at the thumbnail's size, its aspect kept; null when it cannot be read. An emblem
// too large is not read: the print tells why it cannot be used.
QImage thumbnailOf(const QString& path) {
    if (QFileInfo(path).size() > kMaxEmblemBytes) return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxEmblemPixels) return {};
    reader.setScaledSize(size.scaled(kThumbnail, kThumbnail, Qt::KeepAspectRatio));
    return reader.read();
}

}  // namespace

BackDialog::BackDialog(const CardBack& start, bool qrCode, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("dlgRetro"));
    setWindowTitle(QStringLiteral("Retro del biglietto"));
    auto* form = new QFormLayout(this);
    auto* about = new QLabel(
        QStringLiteral("Il retro è lo stesso su ogni biglietto: lo stemma del circolo, fino a tre "
                       "righe e, se scelto, il codice QR. Il fronte resta com'è."),
        this);
    about->setWordWrap(true);
    form->addRow(about);

    thumbnail_ = new QLabel(this);
    thumbnail_->setObjectName(QStringLiteral("imgStemma"));
    thumbnail_->setFixedSize(kThumbnail, kThumbnail);
    thumbnail_->setAlignment(Qt::AlignCenter);
    thumbnail_->setFrameShape(QFrame::Box);
    emblemName_ = new QLabel(this);
    emblemName_->setObjectName(QStringLiteral("lblStemma"));
    emblemName_->setWordWrap(true);
    emblemName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choose = new QPushButton(QStringLiteral("&Scegli…"), this);
    choose->setObjectName(QStringLiteral("cmdScegliStemma"));
    choose->setAccessibleName(QStringLiteral("Scegli lo stemma"));
    choose->setAutoDefault(false);
    none_ = new QPushButton(QStringLiteral("N&essuno"), this);
    none_->setObjectName(QStringLiteral("cmdNessunoStemma"));
    none_->setAccessibleName(QStringLiteral("Nessuno stemma"));
    none_->setAutoDefault(false);
    auto* emblem = new QGridLayout;
    emblem->addWidget(thumbnail_, 0, 0, 3, 1);
    emblem->addWidget(emblemName_, 0, 1, 1, 2);
    emblem->addWidget(choose, 1, 1);
    emblem->addWidget(none_, 1, 2);
    emblem->setColumnStretch(1, 1);
    emblem->setColumnStretch(2, 1);
    auto* emblemCaption = new QLabel(QStringLiteral("Stemma:"), this);
    emblemCaption->setBuddy(choose);
    form->addRow(emblemCaption, emblem);

    for (int i = 0; i < kBackLines; ++i) {
        auto* line = new QLineEdit(start.lines.value(i), this);
        line->setObjectName(QStringLiteral("txtRigaRetro_%1").arg(i));
        line->setMaxLength(std::max<int>(kLongestBackLine, line->text().size()));
        line->setAccessibleName(QStringLiteral("Riga %1 del retro").arg(i + 1));
        lines_[i] = line;
        form->addRow(QStringLiteral("Riga &%1:").arg(i + 1), line);
    }
    lines_[0]->setToolTip(QStringLiteral("In grassetto, per esempio il nome del circolo"));

    qrOnBack_ = new QCheckBox(QStringLiteral("Codice &QR sul retro"), this);
    qrOnBack_->setObjectName(QStringLiteral("chkQrRetro"));
    qrOnBack_->setChecked(start.qrOnBack);
    qrOnBack_->setEnabled(qrCode);
    qrOnBack_->setToolTip(qrCode ? QStringLiteral("Il codice QR va sul retro invece che sul fronte")
                                 : QStringLiteral("Scegliere prima \"Codice QR\" nella finestra"));
    form->addRow(qrOnBack_);
    print_ = new QCheckBox(QStringLiteral("S&tampa anche il retro"), this);
    print_->setObjectName(QStringLiteral("chkStampaRetro"));
    print_->setChecked(start.print);
    print_->setToolTip(
        QStringLiteral("Stampa il retro dei biglietti: sul secondo lato del foglio, o nel PDF "
                       "una pagina di retro dopo ogni pagina di fronte"));
    form->addRow(print_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, &BackDialog::chooseEmblem);
    connect(none_, &QPushButton::clicked, this, [this] { showEmblem({}); });
    showEmblem(start.emblem);
    new FocusRing(this);
}

void BackDialog::chooseEmblem() {
    FileDialogRequest dialog;
    dialog.filter = QStringLiteral(
        "Immagini (*.png *.jpg *.jpeg *.svg *.PNG *.JPG *.JPEG *.SVG);;Tutti i file (*)");
    dialog.title = QStringLiteral("Stemma del circolo");
    dialog.initialPath = emblem_.isEmpty() ? QString() : QFileInfo(emblem_).absolutePath();
    if (const std::optional<QString> path = prompts_.chooseFile(dialog)) showEmblem(*path);
}

void BackDialog::showEmblem(const QString& path) {
    emblem_ = path;
    none_->setEnabled(!path.isEmpty());
    thumbnail_->clear();
    if (path.isEmpty()) {
        emblemName_->setText(QStringLiteral("Nessuno stemma"));
        thumbnail_->setText(QStringLiteral("—"));
        thumbnail_->setAccessibleName(QStringLiteral("Nessuno stemma"));
        return;
    }
    emblemName_->setText(QFileInfo(path).fileName());
    emblemName_->setToolTip(path);
    const QImage image = thumbnailOf(path);
    if (image.isNull()) {
        // Kept all the same: the print tells why it cannot be used, and asks what to do.
        thumbnail_->setText(QStringLiteral("Immagine\nnon leggibile"));
        thumbnail_->setAccessibleName(
            QStringLiteral("Lo stemma %1 non si legge come immagine").arg(path));
        return;
    }
    thumbnail_->setPixmap(QPixmap::fromImage(image));
    thumbnail_->setAccessibleName(QStringLiteral("Stemma %1").arg(QFileInfo(path).fileName()));
}

CardBack BackDialog::back() const {
    CardBack back;
    back.emblem = emblem_;
    for (QLineEdit* line : lines_) back.lines << line->text();
    // Empty lines at the end are no lines.
    while (!back.lines.isEmpty() && back.lines.last().trimmed().isEmpty()) back.lines.removeLast();
    back.qrOnBack = qrOnBack_->isChecked();
    back.print = print_->isChecked();
    return back;
}

}  // namespace quarzello
