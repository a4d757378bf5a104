// The QR code choice in the settings file, as a plain true or false the user may edit.
#include "platform/qrchoice.h"

#include <QSettings>

#include "platform/marginmemory.h"

namespace quarzello {

namespace {

const QString kKey = QStringLiteral("biglietti/codice_qr");

}  // namespace

bool recalledQrChoice() {
    const QSettings store(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    return store.value(kKey, false).toBool();
}

Result<void> rememberQrChoice(bool on) {
    QSettings store(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    store.setValue(kKey, on);
    return keepSettings(store,
                        QStringLiteral("ricordare la scelta del codice QR per il prossimo avvio"));
}

}  // namespace quarzello
