// The offset as text: what --spostamento takes and the settings file holds.
#include "platform/offsetmemory.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace quarzello {

namespace {

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
    // A semicolon starts a comment in the settings file unless the value is quoted: spaces do
    // as well, and are what a person writes there by hand.
    const QStringList parts = text.contains(QLatin1Char(';'))
                                  ? text.split(QLatin1Char(';'))
                                  : text.simplified().split(QLatin1Char(' '));
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

}  // namespace quarzello
