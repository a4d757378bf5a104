// The paper choice in the settings file, beside the margins answers.
#include "platform/papermemory.h"

#include <QSettings>

#include "platform/marginmemory.h"

namespace quarzello {

namespace {

const QString kName = QStringLiteral("carta/prodotto");
const QString kColumns = QStringLiteral("carta/colonne");
const QString kRows = QStringLiteral("carta/righe");

}  // namespace

PaperChoice rememberedPaper() {
    const QSettings settings(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    PaperChoice choice;
    choice.name = settings.value(kName).toString().simplified();
    bool columnsRead = false, rowsRead = false;
    choice.columns = settings.value(kColumns).toInt(&columnsRead);
    choice.rows = settings.value(kRows).toInt(&rowsRead);
    // A grid that is not one leaves the product out: it is looked up again when printing.
    if (choice.name.isEmpty() || !columnsRead || !rowsRead || choice.columns < 1 ||
        choice.rows < 1 || choice.columns > 100 || choice.rows > 100)
        return {};
    return choice;
}

Result<void> rememberPaper(const PaperChoice& choice) {
    QSettings settings(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    if (choice.name.isEmpty()) {
        settings.remove(QStringLiteral("carta"));
    } else {
        settings.setValue(kName, choice.name);
        settings.setValue(kColumns, choice.columns);
        settings.setValue(kRows, choice.rows);
    }
    return keepSettings(settings, QStringLiteral("ricordare la carta scelta"));
}

}  // namespace quarzello
