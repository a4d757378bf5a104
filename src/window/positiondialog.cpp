// The offsets in tenths of a millimetre, with the decimal comma whatever the system's locale.
#include "window/positiondialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "platform/focusring.h"

namespace quarzello {

namespace {

QDoubleSpinBox* offsetBox(double value, const QString& name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    box->setRange(-kMaxPrinterOffsetMm, kMaxPrinterOffsetMm);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

}  // namespace

PositionDialog::PositionDialog(const QString& printer, const PrinterOffset& start, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgPosizione"));
    setWindowTitle(QStringLiteral("Regola la posizione"));
    auto* form = new QFormLayout(this);
    auto* about = new QLabel(
        QStringLiteral("Se la stampante \"%1\" stampa spostato, indicare di quanto spostare "
                       "tutto il foglio (a destra e in basso; in negativo a sinistra e in alto). "
                       "Il foglio di prova ha al centro una croce, a 105 mm dal bordo sinistro e "
                       "a 148,5 mm da quello in alto.")
            .arg(printer),
        this);
    about->setWordWrap(true);
    form->addRow(about);
    across_ = offsetBox(start.across, QStringLiteral("txtSpostamentoX"), this);
    down_ = offsetBox(start.down, QStringLiteral("txtSpostamentoY"), this);
    form->addRow(QStringLiteral("A &destra:"), across_);
    form->addRow(QStringLiteral("In &basso:"), down_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QPushButton* test =
        buttons->addButton(QStringLiteral("Stampa &foglio di prova"), QDialogButtonBox::ActionRole);
    test->setObjectName(QStringLiteral("cmdFoglioProva"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test, &QPushButton::clicked, this, [this] { emit testSheetWanted(offset()); });
    new FocusRing(this);
}

PrinterOffset PositionDialog::offset() const {
    // The boxes hold tenths; the rounding keeps 1.5 from coming back as 1.4999.
    return {std::round(across_->value() * 10.0) / 10.0, std::round(down_->value() * 10.0) / 10.0};
}

}  // namespace quarzello
