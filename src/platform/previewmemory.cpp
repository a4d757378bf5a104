// The preview's settings. A value that cannot be written is only forgotten: the preview works
// the same, and the next run starts with it hidden.
#include "platform/previewmemory.h"

#include <QSettings>

namespace quarzello {

namespace {
const QString kShown = QStringLiteral("anteprima/visibile");
const QString kPrinter = QStringLiteral("anteprima/stampante");
}  // namespace

PreviewMemory::PreviewMemory(QString file) : file_(std::move(file)) {}

bool PreviewMemory::shown() const {
    return QSettings(file_, QSettings::IniFormat).value(kShown, false).toBool();
}

void PreviewMemory::setShown(bool shown) {
    QSettings(file_, QSettings::IniFormat).setValue(kShown, shown);
}

QString PreviewMemory::printer() const {
    return QSettings(file_, QSettings::IniFormat).value(kPrinter).toString();
}

void PreviewMemory::setPrinter(const QString& name) {
    QSettings(file_, QSettings::IniFormat).setValue(kPrinter, name);
}

}  // namespace quarzello
