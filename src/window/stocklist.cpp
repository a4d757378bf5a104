// The paper list, filled on demand: the catalogue is dozens of files, and the window opens and
// answers without waiting for them.
#include "window/stocklist.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QThreadPool>
#include <QToolTip>
#include <QtConcurrent/QtConcurrentRun>

namespace quarzello {

namespace {
const QString kPlainPaper = QStringLiteral("A4 da tagliare");
}  // namespace

StockList::StockList(QWidget* parent) : QComboBox(parent) {
    addItem(kPlainPaper, QString());
    // The closed list is narrow; its entries are read whole in the open one.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(&reading_, &QFutureWatcher<StockCatalogue>::finished, this,
            [this] { fill(reading_.result()); });
}

void StockList::readOn(QThreadPool& pool) { pool_ = &pool; }

void StockList::showChoice(const QString& name) {
    if (name.isEmpty()) {
        setCurrentIndex(0);
        return;
    }
    const int found = findData(name);
    if (found >= 0) {
        setCurrentIndex(found);
        return;
    }
    addItem(name, name);
    setCurrentIndex(count() - 1);
}

QString StockList::choiceName() const { return currentData().toString(); }

bool StockList::choiceKnown() const { return catalogue_ || choiceName().isEmpty(); }

std::optional<CardStock> StockList::chosenStock() const {
    const QString name = choiceName();
    if (name.isEmpty() || !catalogue_) return std::nullopt;
    if (const CardStock* stock = findStock(*catalogue_, name)) return *stock;
    return std::nullopt;
}

void StockList::whenChoiceKnown(std::function<void()> then) {
    if (choiceKnown()) {
        then();
        return;
    }
    waiting_.push_back(std::move(then));
    readCatalogue();
}

void StockList::showPopup() {
    if (!catalogue_) {
        // Opened once the catalogue is read.
        popupWanted_ = true;
        readCatalogue();
        return;
    }
    // Wide enough for every entry, whatever the width of the closed list.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 24);
    QComboBox::showPopup();
}

void StockList::keyPressEvent(QKeyEvent* event) {
    if (!catalogue_) {
        // The key chooses among the products once they are there.
        keyWaiting_ =
            std::make_unique<QKeyEvent>(event->type(), event->key(), event->modifiers(),
                                        event->text(), event->isAutoRepeat(), event->count());
        readCatalogue();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void StockList::wheelEvent(QWheelEvent* event) {
    if (!catalogue_) {
        readCatalogue();
        return;
    }
    QComboBox::wheelEvent(event);
}

void StockList::readCatalogue() {
    if (catalogue_ || reading_.isRunning()) return;
    QThreadPool* pool = pool_ ? pool_ : QThreadPool::globalInstance();
    reading_.setFuture(QtConcurrent::run(pool, [] { return readStockCatalogue(stockFolders()); }));
}

void StockList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The style draws the text one pixel in from either side of the field.
    option.currentText =
        fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool StockList::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), currentText() + u'\n' + toolTip(), this);
        return true;
    }
    return QComboBox::event(event);
}

void StockList::fill(StockCatalogue catalogue) {
    catalogue_ = std::move(catalogue);
    const QString chosen = choiceName();
    const CardStock* stock = chosen.isEmpty() ? nullptr : findStock(*catalogue_, chosen);
    {
        // Refilling is not the user's choice: nothing is announced but a product gone.
        const QSignalBlocker quiet(this);
        refill(stock);
    }
    if (!chosen.isEmpty() && !stock) emit choiceGone(chosen);
    emit catalogueRead();
    for (const std::function<void()>& then : std::exchange(waiting_, {})) then();
    if (const std::unique_ptr<QKeyEvent> key = std::move(keyWaiting_))
        QComboBox::keyPressEvent(key.get());
    if (std::exchange(popupWanted_, false) && isVisible()) showPopup();
}

void StockList::refill(const CardStock* chosen) {
    clear();
    addItem(kPlainPaper, QString());
    for (const CardStock& stock : catalogue_->stocks) addItem(stockLabel(stock), stock.name());
    if (catalogue_->stocks.empty()) {
        addItem(QStringLiteral("Altre carte: apt install glabels-data"));
        // Says how to get more; not a paper to choose.
        if (auto* entries = qobject_cast<QStandardItemModel*>(model()))
            entries->item(count() - 1)->setEnabled(false);
    }
    setCurrentIndex(chosen ? findData(chosen->name()) : 0);
}

}  // namespace quarzello
