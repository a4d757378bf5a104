// The QR code choice in the settings file, as a plain true or false the user may edit.
#include "platform/qrchoice.h"

#include <QDir>
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
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return Failure{QStringLiteral("Non è stato possibile ricordare la scelta del codice QR per il "
                                  "prossimo avvio: il file %1 non può essere scritto.")
                       .arg(QDir::toNativeSeparators(store.fileName()))};
}

}  // namespace quarzello
