// The window's side of the preview: its button, widening the window to its right and giving
// the form back exactly as it was, the changes it follows, and the printer whose borders it
// shades.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/settingsstore.h"
#include "window/frmquarzello.h"
#include "window/preview.h"
#include "window/stocklist.h"
#include "window/twips.h"

namespace quarzello {

void frmQuarzello::setUpPreview() {
    formSize_ = size();
    // At the banner's right end, clear of its centred title.
    cmdAnteprima_ = new QPushButton(QStringLiteral("&Anteprima"), this);
    cmdAnteprima_->setObjectName(QStringLiteral("cmdAnteprima"));
    cmdAnteprima_->setGeometry(twipsRect(5790, 60, 930, 315));
    cmdAnteprima_->setCheckable(true);
    cmdAnteprima_->setAutoDefault(false);
    cmdAnteprima_->setToolTip(QStringLiteral("Mostra o nasconde il foglio come sarà stampato"));
    cmdAnteprima_->stackUnder(frmDati_);
    connect(cmdAnteprima_, &QPushButton::toggled, this, [this](bool shown) {
        showPreview(shown);
        store_->setPreviewShown(shown);
    });

    for (QLineEdit* box : txtCampo_)
        connect(box, &QLineEdit::textChanged, this, &frmQuarzello::followInPreview);
    for (QComboBox* list : {cmbRighe_, cmbColonne_})
        connect(list, &QComboBox::editTextChanged, this, &frmQuarzello::followInPreview);
    connect(chkQr_, &QCheckBox::toggled, this, &frmQuarzello::followInPreview);
    connect(cmbCarta_, &QComboBox::currentIndexChanged, this, &frmQuarzello::followInPreview);
    connect(cmbCarta_, &StockList::catalogueRead, this, &frmQuarzello::followInPreview);
    connect(lstStampanti_, &QListWidget::itemSelectionChanged, this,
            &frmQuarzello::previewPrinterPicked);

    connect(&previewBackRead_, &QFutureWatcherBase::finished, this, [this] {
        const auto read = previewBackRead_.result();
        previewBack_ = *read ? **read : nullptr;
        previewBackNote_.clear();
        if (!*read && previewBackKey_) {
            // The back without its emblem, and why, under the card.
            previewBackNote_ = read->error();
            CardBack plain = previewBackKey_->back;
            plain.emblem.clear();
            const Result<std::shared_ptr<const BackContent>> without =
                backContent(plain, previewBackKey_->qr, previewBackKey_->edge,
                            {previewBackKey_->across, previewBackKey_->down});
            if (without) previewBack_ = *without;
        }
        followInPreview();
    });

    previewPrinter_ = store_->previewPrinter();
    if (store_->previewShown()) cmdAnteprima_->setChecked(true);
}

void frmQuarzello::showPreview(bool shown) {
    if (!shown) {
        if (preview_) preview_->hide();
        setFixedSize(formSize_);
        if (formPlace_) move(*formPlace_);
        formPlace_.reset();
        return;
    }
    const int height = formSize_.height();
    int width = formSize_.width() + SheetPreview::widthFor(height);
    // No wider than the screen's free area less the window's frame; never narrower than the form.
    if (const QScreen* display = screen()) {
        const int frame = frameGeometry().width() - this->width();
        width = std::min(width, display->availableGeometry().width() - frame);
        width = std::max(width, formSize_.width());
    }
    if (!preview_) {
        preview_ = new SheetPreview(this);
        // The help panel and the printer panel lie over it as over the form.
        preview_->stackUnder(txtHelp_);
        lookUpPreviewPrinter();
    }
    preview_->setGeometry(formSize_.width(), 0, width - formSize_.width(), height);
    setFixedSize(width, height);
    // Wider to the right; on a narrow screen it moves left just enough, and back when hidden.
    if (const QScreen* display = screen()) {
        const int spill = frameGeometry().right() - display->availableGeometry().right();
        if (spill > 0) {
            formPlace_ = pos();
            move(std::max(display->availableGeometry().left(), x() - spill), y());
        }
    }
    preview_->show();
    showInPreview();
}

void frmQuarzello::followInPreview() {
    if (preview_ && preview_->isVisible()) showInPreview();
}

void frmQuarzello::showInPreview() {
    // A product's cards once the catalogue has been read, off the window's thread.
    if (!cmbCarta_->choiceKnown()) {
        cmbCarta_->readCatalogue();
        return;
    }
    // The sheet as it goes to the printer the preview shows, moved by that printer's offset.
    SheetOptions options = sheetOptions();
    options.offset = previewOffset_;
    options.back = previewBack();
    preview_->setBackNote(previewBackNote_);
    preview_->follow(record(), options);
}

std::shared_ptr<const BackContent> frmQuarzello::previewBack() {
    if (!backSetting_) {
        PreviewBackKey setting{store_->back()};
        // The back as the preview's printer prints it: on its edge, moved by its back offset.
        if (!previewPrinter_.isEmpty()) {
            if (const std::optional<DuplexSetting> duplex = store_->duplex(previewPrinter_))
                setting.edge = duplex->edge;
            const PrinterOffset offset = store_->backOffset(previewPrinter_).offset;
            setting.across = offset.across;
            setting.down = offset.down;
        }
        backSetting_ = setting;
    }
    PreviewBackKey key = *backSetting_;
    key.qr = chkQr_->isChecked();
    if (!key.back.print || !key.back.hasContent(key.qr)) {
        previewBackKey_.reset();
        previewBack_.reset();
        return nullptr;
    }
    if (key == previewBackKey_) return previewBack_;
    // Read anew: until then the preview shows the back as read before, if any.
    previewBackKey_ = key;
    previewBackRead_.setFuture(QtConcurrent::run(&print_.pool(), [key] {
        return std::make_shared<Result<std::shared_ptr<const BackContent>>>(
            backContent(key.back, key.qr, key.edge, {key.across, key.down}));
    }));
    return previewBack_;
}

void frmQuarzello::previewPrinterPicked() {
    const QList<QListWidgetItem*> selected = lstStampanti_->selectedItems();
    // The PDF entry has no borders: the printer shaded before stays.
    if (selected.isEmpty() || selected.first()->data(Qt::UserRole).toBool()) return;
    previewPrinter_ = selected.first()->text();
    store_->setPreviewPrinter(previewPrinter_);
    lookUpPreviewPrinter();
}

void frmQuarzello::lookUpPreviewPrinter() {
    if (!preview_ || previewPrinter_.isEmpty()) return;
    previewOffset_ = store_->offset(previewPrinter_).offset;
    backSetting_.reset();
    followInPreview();
    const QString name = previewPrinter_;
    print_.lookUpArea(name, [this, name](std::optional<PrintableArea> area) {
        if (preview_) preview_->setPrinter(name, area);
    });
}

}  // namespace quarzello
