// One key a printer: its name as listed, "Alfa/due" written by QSettings as "Alfa\due", so that
// a user can find the line and delete it to be asked again.
#include "platform/marginmemory.h"

#include <QSettings>

namespace quarzello {

namespace {

const QString kAsIs = QStringLiteral("stampa");
const QString kReduce = QStringLiteral("riduci");

QString keyOf(const QString& printer) { return QStringLiteral("margini/") + printer; }

// The user's settings, wherever the program's organisation is set or not.
QSettings settings() { return QSettings(QStringLiteral("quarzello"), QStringLiteral("quarzello")); }

}  // namespace

std::optional<MarginChoice> rememberedMarginChoice(const QString& printer) {
    if (printer.isEmpty()) return std::nullopt;
    const QString value = settings().value(keyOf(printer)).toString();
    if (value == kAsIs) return MarginChoice::PrintAsIs;
    if (value == kReduce) return MarginChoice::Reduce;
    return std::nullopt;
}

void rememberMarginChoice(const QString& printer, MarginChoice choice) {
    if (printer.isEmpty() || choice == MarginChoice::Cancel) return;
    QSettings store = settings();
    store.setValue(keyOf(printer), choice == MarginChoice::Reduce ? kReduce : kAsIs);
    store.sync();
}

}  // namespace quarzello
