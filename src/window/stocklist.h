// The paper list of the window: "A4 da tagliare" first, then the pre-cut products of the
// catalogue, which is read the first time the list is opened, never at start-up.
#pragma once

#include <QComboBox>
#include <optional>

#include "core/cardstock.h"
#include "data/stockcatalogue.h"

namespace quarzello {

class StockList : public QComboBox {
    Q_OBJECT

  public:
    explicit StockList(QWidget* parent = nullptr);

    // Shows the product of that name as the one chosen (empty: A4 da tagliare), as remembered,
    // without reading the catalogue.
    void showChoice(const QString& name);
    // The name of the product chosen; empty for A4 da tagliare.
    QString choiceName() const;
    // The product chosen, read from the catalogue; nothing for A4 da tagliare. A product no
    // longer installed is given up for A4 da tagliare, and choiceGone says so.
    std::optional<CardStock> chosenStock();

    void showPopup() override;

  protected:
    // The arrow keys and the wheel choose among the products too.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // The closed list shortens a name too long for it with "…"; its tooltip names it whole, as
    // the list's value does for screen readers.
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  signals:
    // The product remembered is not in the catalogue: the list now shows A4 da tagliare.
    void choiceGone(const QString& name);

  private:
    void fill();
    void refill(const CardStock* chosen);

    std::optional<StockCatalogue> catalogue_;
};

}  // namespace quarzello
