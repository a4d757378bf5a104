// The offsets in tenths of a millimetre, with the decimal comma whatever the system's locale.
#include "window/positiondialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
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

// The boxes hold tenths; the rounding keeps 1.5 from coming back as 1.4999.
double tenths(const QDoubleSpinBox* box) { return std::round(box->value() * 10.0) / 10.0; }

// The two-sided list's entries, in order: automatic first.
int entryOf(const DuplexSetting& setting) {
    return (setting.automatic ? 0 : 2) + (setting.edge == TurnEdge::Long ? 0 : 1);
}

}  // namespace

PositionDialog::PositionDialog(const QString& printer, const PrinterOffset& start,
                               const PrinterOffset& backStart, std::optional<DuplexSetting> duplex,
                               QWidget* parent)
    : QDialog(parent), chosen_(duplex.has_value()) {
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

    auto* aboutBack = new QLabel(
        QStringLiteral("Il retro si sposta a parte, guardando il foglio dal lato del retro: con "
                       "il retro attivo il foglio di prova ha una seconda pagina, con la croce "
                       "al centro anch'essa; in controluce le due croci mostrano di quanto il "
                       "retro è spostato rispetto al fronte."),
        this);
    aboutBack->setWordWrap(true);
    form->addRow(aboutBack);
    backAcross_ = offsetBox(backStart.across, QStringLiteral("txtRetroX"), this);
    backDown_ = offsetBox(backStart.down, QStringLiteral("txtRetroY"), this);
    form->addRow(QStringLiteral("Retro, a dest&ra:"), backAcross_);
    form->addRow(QStringLiteral("Retro, in bass&o:"), backDown_);

    sides_ = new QComboBox(this);
    sides_->setObjectName(QStringLiteral("cmbFronteRetro"));
    sides_->addItems({QStringLiteral("Automatico, girando sul lato lungo"),
                      QStringLiteral("Automatico, girando sul lato corto"),
                      QStringLiteral("Manuale, girando sul lato lungo"),
                      QStringLiteral("Manuale, girando sul lato corto")});
    sides_->setToolTip(
        QStringLiteral("Come stampare il retro: la stampante da sola, o a mano rimettendo i "
                       "fogli nel cassetto"));
    form->addRow(QStringLiteral("Fronte e retro, &modo:"), sides_);
    reverse_ = new QCheckBox(QStringLiteral("Retro in ordine &inverso"), this);
    reverse_->setObjectName(QStringLiteral("chkRetroInverso"));
    reverse_->setToolTip(
        QStringLiteral("A mano: i retro partono dall'ultimo foglio, per le stampanti che "
                       "impilano i fogli a faccia in su"));
    form->addRow(reverse_);
    sidesNote_ = new QLabel(this);
    sidesNote_->setObjectName(QStringLiteral("lblFronteRetro"));
    sidesNote_->setWordWrap(true);
    form->addRow(sidesNote_);
    // Until the service says, the printer is taken to print one side only: automatic is not
    // offered, unless it was chosen before.
    showDuplex(duplex.value_or(DuplexSetting{false, TurnEdge::Long, false}));
    offerAutomatic(std::nullopt);
    sidesNote_->setText(QStringLiteral("Si chiede alla stampante se stampa da sola sui due lati…"));
    connect(sides_, &QComboBox::activated, this, [this] {
        chosen_ = true;
        reverse_->setEnabled(sides_->currentIndex() >= 2);
    });
    connect(reverse_, &QCheckBox::clicked, this, [this] { chosen_ = true; });

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

void PositionDialog::showDuplex(const DuplexSetting& setting) {
    sides_->setCurrentIndex(entryOf(setting));
    reverse_->setChecked(setting.reverseBacks);
    reverse_->setEnabled(!setting.automatic);
}

void PositionDialog::setTwoSided(std::optional<bool> twoSided) {
    offerAutomatic(twoSided);
    if (twoSided == false)
        sidesNote_->setText(
            QStringLiteral("La stampante non stampa da sola sui due lati: il retro si stampa a "
                           "mano."));
    else if (!twoSided)
        sidesNote_->setText(
            QStringLiteral("La stampante non ha detto se stampa da sola sui due lati: il retro "
                           "automatico non è offerto."));
    else
        sidesNote_->clear();
}

void PositionDialog::offerAutomatic(std::optional<bool> twoSided) {
    auto* model = static_cast<QStandardItemModel*>(sides_->model());
    const bool automatic = twoSided.value_or(false);
    const DuplexSetting shown = duplex();
    for (int i = 0; i < 2; ++i)
        model->item(i)->setEnabled(automatic ||
                                   (!twoSided && shown.automatic && entryOf(shown) == i));
    if (twoSided == false && shown.automatic)
        showDuplex({false, shown.edge, false});
    else if (twoSided == true && !chosen_)
        showDuplex({true, TurnEdge::Long, false});
}

PrinterOffset PositionDialog::offset() const { return {tenths(across_), tenths(down_)}; }

PrinterOffset PositionDialog::backOffset() const {
    return {tenths(backAcross_), tenths(backDown_)};
}

DuplexSetting PositionDialog::duplex() const {
    const int entry = sides_->currentIndex();
    const bool automatic = entry < 2;
    return {automatic, entry % 2 == 0 ? TurnEdge::Long : TurnEdge::Short,
            !automatic && reverse_->isChecked()};
}

}  // namespace quarzello
