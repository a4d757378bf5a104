// The printers' offsets in the settings file, one line a printer that a user can read and edit.
#include "platform/offsetmemory.h"

#include <QRegularExpression>
#include <QSettings>
#include <cmath>

#include "platform/marginmemory.h"

namespace quarzello {

namespace {

QString keyOf(const QString& printer) {
    return QStringLiteral("spostamento/") + marginKey(printer);
}

std::optional<double> readMillimetres(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?\d{1,2}(?:[.,]\d+)?)\s*$)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const double mm = match.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    const double tenths = std::round(mm * 10.0);
    // Tenths only: a finer figure is a slip, not a setting the paper could show.
    if (std::abs(mm * 10.0 - tenths) > 1e-6 || std::abs(mm) > kMaxPrinterOffsetMm)
        return std::nullopt;
    return tenths / 10.0;
}

}  // namespace

std::optional<PrinterOffset> readOffset(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 2) return std::nullopt;
    const std::optional<double> across = readMillimetres(parts[0]);
    const std::optional<double> down = readMillimetres(parts[1]);
    if (!across || !down) return std::nullopt;
    return PrinterOffset{*across, *down};
}

QString offsetText(const PrinterOffset& offset) {
    const auto mm = [](double value) {
        return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
    };
    return mm(offset.across) + QLatin1Char(';') + mm(offset.down);
}

RememberedOffset rememberedOffset(const QString& printer) {
    const QSettings settings(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    const QVariant value = settings.value(keyOf(printer));
    if (!value.isValid() || printer.isEmpty()) return {};
    // QSettings splits a value at commas into a list: the decimal commas come back together.
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QLatin1Char(','))
                             : value.toString();
    if (const std::optional<PrinterOffset> offset = readOffset(text)) return {*offset, {}};
    return {{},
            QStringLiteral("Lo spostamento ricordato per la stampante \"%1\" (\"%2\") non è "
                           "valido: non è usato. Due numeri in millimetri da -10 a 10, separati da "
                           "un punto e virgola, per esempio 1,5;-0,8.")
                .arg(printer, text)};
}

Result<void> rememberOffset(const QString& printer, const PrinterOffset& offset) {
    QSettings settings(SettingsMarginMemory::settingsFile(), QSettings::IniFormat);
    if (offset.isZero())
        settings.remove(keyOf(printer));
    else
        settings.setValue(keyOf(printer), offsetText(offset));
    return keepSettings(
        settings, QStringLiteral("ricordare lo spostamento per la stampante \"%1\"").arg(printer));
}

}  // namespace quarzello
