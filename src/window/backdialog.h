// The small dialog that sets the back of the card: the club's emblem (chosen, or none, with a
// thumbnail), its three lines, the QR code on the back, and whether the back is printed.
#pragma once

#include <QDialog>
#include <array>

#include "core/cardback.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarzello {

class Prompts;

// The longest line the dialog takes: far more than a card can hold.
inline constexpr int kLongestBackLine = 200;

class BackDialog : public QDialog {
    Q_OBJECT

  public:
    // qrCode: whether the cards carry a QR code; the code on the back is offered only then.
    BackDialog(const CardBack& start, bool qrCode, Prompts& prompts, QWidget* parent);

    CardBack back() const;

  private:
    void chooseEmblem();
    void showEmblem(const QString& path);

    Prompts& prompts_;
    QString emblem_;
    QLabel* thumbnail_ = nullptr;
    QLabel* emblemName_ = nullptr;
    QPushButton* none_ = nullptr;
    std::array<QLineEdit*, kBackLines> lines_{};
    QCheckBox* qrOnBack_ = nullptr;
    QCheckBox* print_ = nullptr;
};

}  // namespace quarzello
