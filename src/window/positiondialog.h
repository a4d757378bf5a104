// The small dialog that puts a printer's position right: the offsets across and down of the
// fronts and of the backs, how the printer prints both sides, a test sheet to read the offsets
// from, and OK to keep them.
#pragma once

#include <QDialog>
#include <optional>

#include "core/cardback.h"
#include "core/printeroffset.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace quarzello {

class PositionDialog : public QDialog {
    Q_OBJECT

  public:
    // duplex: how the printer prints both sides, when the user chose it before.
    PositionDialog(const QString& printer, const PrinterOffset& start,
                   const PrinterOffset& backStart, std::optional<DuplexSetting> duplex,
                   QWidget* parent);

    PrinterOffset offset() const;
    PrinterOffset backOffset() const;
    // How both sides are printed, as shown; and whether it is the user's choice (chosen before,
    // or changed here) rather than the printer's default.
    DuplexSetting duplex() const;
    bool duplexChosen() const { return chosen_; }

    // Whether the printer prints both sides by itself, once the service said (nothing: it did
    // not): automatic is offered only when it does.
    void setTwoSided(std::optional<bool> twoSided);

  signals:
    // "Stampa foglio di prova": a test sheet with the offset shown now.
    void testSheetWanted(const PrinterOffset& offset);

  private:
    void showDuplex(const DuplexSetting& setting);
    // Automatic offered when the printer prints both sides; while not known, only as chosen.
    void offerAutomatic(std::optional<bool> twoSided);

    QDoubleSpinBox* across_ = nullptr;
    QDoubleSpinBox* down_ = nullptr;
    QDoubleSpinBox* backAcross_ = nullptr;
    QDoubleSpinBox* backDown_ = nullptr;
    QComboBox* sides_ = nullptr;
    QCheckBox* reverse_ = nullptr;
    QLabel* sidesNote_ = nullptr;
    bool chosen_ = false;
};

}  // namespace quarzello
