// The small dialog that puts a printer's position right: the offsets across and down, a test
// sheet to read them from, and OK to keep them.
#pragma once

#include <QDialog>

#include "core/printeroffset.h"

class QDoubleSpinBox;

namespace quarzello {

class PositionDialog : public QDialog {
    Q_OBJECT

  public:
    PositionDialog(const QString& printer, const PrinterOffset& start, QWidget* parent);

    PrinterOffset offset() const;

  signals:
    // "Stampa foglio di prova": a test sheet with the offset shown now.
    void testSheetWanted(const PrinterOffset& offset);

  private:
    QDoubleSpinBox* across_ = nullptr;
    QDoubleSpinBox* down_ = nullptr;
};

}  // namespace quarzello
