// Every choice the program remembers between runs, in the user's settings file
// (quarzello/quarzello.conf): the margins answers, the paper, the QR choice, the back of the
// card, each printer's offsets and way of printing both sides, the preview. One store is made when
// the program starts and given to whoever needs it.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "core/cardback.h"
#include "core/printeroffset.h"
#include "core/result.h"
#include "platform/marginmemory.h"
#include "platform/offsetmemory.h"
#include "platform/papermemory.h"

class QSettings;

namespace quarzello {

// Only a regular file of at most this size, which reads as settings, is read or written.
inline constexpr qint64 kMaxSettingsBytes = 1024 * 1024;

class SettingsStore final : public MarginMemory {
  public:
    // file: the settings file (settingsFilePath() for the user's own).
    explicit SettingsStore(QString file);
    ~SettingsStore() override;

    const QString& file() const { return file_; }
    // What the file held that could not be used, each said once; empty when all was well. A
    // file that is not to be touched (not a regular file, too large, not settings) is left as it
    // is: the defaults are used and nothing is written to it.
    QStringList takeWarnings();

    std::optional<MarginChoice> recalled(const QString& printer) override;
    Result<void> remember(const QString& printer, MarginChoice choice) override;

    // The paper chosen last; A4 da tagliare when none, or when what the file holds is not one.
    PaperChoice paper();
    Result<void> rememberPaper(const PaperChoice& choice);

    // Whether the cards carry a QR code; off when nothing was kept.
    bool qrCode();
    Result<void> rememberQrCode(bool on);

    // The printer's offset; zero when none is kept or what is kept is not one (then `warning`
    // says why, and it is said once among the store's warnings too).
    RememberedOffset offset(const QString& printer);
    // Keeps the offset for the printer (a zero one is forgotten).
    Result<void> rememberOffset(const QString& printer, const PrinterOffset& offset);

    // The back of the card as set last; none set: an empty back, not printed.
    CardBack back();
    Result<void> rememberBack(const CardBack& back);
    // How the printer prints both sides, when the user chose it for this printer.
    std::optional<DuplexSetting> duplex(const QString& printer);
    Result<void> rememberDuplex(const QString& printer, const DuplexSetting& setting);
    // The printer's offset for the back pages, as `offset` for the fronts.
    RememberedOffset backOffset(const QString& printer);
    Result<void> rememberBackOffset(const QString& printer, const PrinterOffset& offset);

    // Whether the preview is shown (hidden until the user has shown it once), and the printer
    // it shades the borders of. What cannot be kept is only forgotten.
    bool previewShown();
    void setPreviewShown(bool shown);
    QString previewPrinter();
    void setPreviewPrinter(const QString& name);

  private:
    // The file opened as settings; none when it is not to be touched (why says why, and it is
    // told once).
    std::unique_ptr<QSettings> open(QString& why);
    QVariant value(const QString& key);
    // Sets (or with no value removes) the keys and writes the file; fails saying why.
    Result<void> keep(const QString& what, const std::function<void(QSettings&)>& change);
    void warnOnce(const QString& text);
    // The offset kept under key for the printer; `what` names it in the warning.
    RememberedOffset rememberedOffset(const QString& key, const QString& printer,
                                      const QString& what);
    // A choice of the back kept as true or false; anything else is off, and told.
    bool backChoice(const QString& key, const QString& name);

    QString file_;
    // A print on a thread of the pool asks the margins answers meanwhile.
    std::mutex warningsMutex_;
    QStringList warnings_, told_;
};

}  // namespace quarzello
