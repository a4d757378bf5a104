// The paper list of the window: "A4 da tagliare" first, then the pre-cut products of the
// catalogue. The catalogue is never read at start-up, and never on the window's thread: it is
// read on the window's thread pool the first time the list, the preview or a print needs it,
// and the window goes on answering meanwhile.
#pragma once

#include <QComboBox>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/cardstock.h"
#include "data/stockcatalogue.h"

class QThreadPool;

namespace quarzello {

class StockList : public QComboBox {
    Q_OBJECT

  public:
    explicit StockList(QWidget* parent = nullptr);

    // Where the catalogue is read (the read uses nothing of the list's, which may go first);
    // without it, Qt's global pool.
    void readOn(QThreadPool& pool);

    // Shows the product of that name as the one chosen (empty: A4 da tagliare), as remembered,
    // without reading the catalogue.
    void showChoice(const QString& name);
    // The name of the product chosen; empty for A4 da tagliare.
    QString choiceName() const;
    // A4 da tagliare, or a product with the catalogue read: chosenStock() can say what it is.
    bool choiceKnown() const;
    // The product chosen; nothing for A4 da tagliare. A product no longer installed is given up
    // for A4 da tagliare, and choiceGone says so. Only once choiceKnown().
    std::optional<CardStock> chosenStock() const;
    // `then` is called once the choice is known: at once, or when the catalogue has been read.
    void whenChoiceKnown(std::function<void()> then);
    // Starts reading the catalogue, unless it is read or being read; catalogueRead follows.
    void readCatalogue();

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
    // The catalogue has been read and the list filled.
    void catalogueRead();

  private:
    void fill(StockCatalogue catalogue);
    void refill(const CardStock* chosen);

    QThreadPool* pool_ = nullptr;
    std::optional<StockCatalogue> catalogue_;
    QFutureWatcher<StockCatalogue> reading_;
    std::vector<std::function<void()>> waiting_;
    bool popupWanted_ = false;
    std::unique_ptr<QKeyEvent> keyWaiting_;
};

}  // namespace quarzello
