// The program's one window: the card data fields, the grid choice, the commands, and the two
// panels (printer choice and help) that lie hidden over it until asked for.
#pragma once

#include <QFutureWatcher>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "core/cardback.h"
#include "core/cardrecord.h"
#include "core/printeroffset.h"
#include "data/datalocation.h"
#include "flows/cardfilecommands.h"
#include "flows/printcommands.h"
#include "window/windowconversation.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quarzello {

class MemberPanel;
class Prompts;
class PrinterSystem;
class SettingsStore;
class SheetPreview;
class StockList;

class frmQuarzello : public QWidget {
    Q_OBJECT

  public:
    // programFolder: where the program lives. location: where the default data file is kept
    // (decideDataLocation). printers and settings: what printing is done with.
    frmQuarzello(const QString& programFolder, const DataLocation& location, Prompts& prompts,
                 PrinterSystem& printers, PrintSettings settings = {}, QWidget* parent = nullptr);
    ~frmQuarzello() override;

    // The card data record held by the controls.
    CardRecord record() const;
    void setRecord(const CardRecord& record);

    const QString& NomeFile() const { return files_.NomeFile(); }
    // A command that waits on the print service is under way; the others wait for its end.
    bool commandUnderWay() const { return print_.busy(); }
    // The printer the next print goes to when none is picked in the list.
    const QString& currentPrinter() const { return print_.currentPrinter(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void buildLayout();
    void setTabOrder();
    void form_load();

    void cmdEsci_Click();
    void cmdHelp_Click();
    void hideHelp();
    void txta4_Click();
    void cmdSalva_Click();
    void cmdCarica_Click();
    void cmdStampa_Click();
    void cmdElenco_Click();
    void cmdSelStampante_Click(int index);
    void VisualizzaListaStampanti();
    void hidePrinterPanel();
    void chooseCurrentPrinter();
    bool filterKeyPress(int index, QKeyEvent* event);
    // What the user chose for the sheet besides the record: the print and the preview take it.
    SheetOptions sheetOptions();

    // The preview beside the form (previewtoggle.cpp).
    void setUpPreview();
    void showPreview(bool shown);
    void followInPreview();
    void showInPreview();
    void previewPrinterPicked();
    void lookUpPreviewPrinter();
    // The back the preview shows with the sheet: none when it is not printed; read (its emblem)
    // off the window's thread when it changed, the preview following once it has been read.
    std::shared_ptr<const BackContent> previewBack();
    void cmbCarta_Click(int index);
    void cmdPosizione_Click();
    void cmdRetro_Click();
    // The printer of the panel's chosen entry, or of its current one when none is chosen;
    // empty for the PDF entry.
    QString panelPrinter() const;
    void showPaperGrid();

    Prompts& prompts_;
    // What the user chose before; the user's own settings file when the window was given none.
    std::unique_ptr<SettingsStore> ownStore_;
    SettingsStore* store_ = nullptr;
    PrinterOffset previewOffset_;  // of the printer the preview shows the sheet for
    // The window is being closed: whatever is waited on is given up, and nothing more is told.
    bool closing_ = false;
    CardFileCommands files_;
    PrintCommands print_;
    // How the prints ask and tell; it outlasts every print, which may end after its handler.
    WindowConversation talk_;
    // What the member panel prints with; the panel goes before the conversation it talks through.
    PrinterSystem& printers_;
    PrintSettings memberSettings_;
    std::unique_ptr<MemberPanel> memberPanel_;
    QPushButton* cmdElenco_ = nullptr;

    QLabel* lblTitolo_ = nullptr;
    QGroupBox* frmDati_ = nullptr;
    QGroupBox* frmPagina_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QGroupBox* frmButton_ = nullptr;
    QGroupBox* frmlogo_ = nullptr;
    QGroupBox* frmPrinter_ = nullptr;
    std::array<QLineEdit*, kFieldCount> txtCampo_{};
    QLineEdit* txta4_ = nullptr;
    QComboBox* cmbRighe_ = nullptr;
    QComboBox* cmbColonne_ = nullptr;
    QCheckBox* chkQr_ = nullptr;
    QPushButton* cmdRetro_ = nullptr;
    StockList* cmbCarta_ = nullptr;
    // On a product the grid lists show its grid: the record's own rows and columns wait here.
    std::optional<std::pair<QString, QString>> ownGrid_;
    // The product's grid as last shown, remembered with its name.
    int paperColumns_ = 0, paperRows_ = 0;
    QPushButton* cmdCarica_ = nullptr;
    QPushButton* cmdSalva_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QPushButton* cmdStampa_ = nullptr;
    QPushButton* cmdEsci_ = nullptr;
    QLabel* lblCopyright_ = nullptr;
    QListWidget* lstStampanti_ = nullptr;
    std::array<QPushButton*, 2> cmdSelStampante_{};
    QPushButton* cmdPosizione_ = nullptr;
    QPlainTextEdit* txtHelp_ = nullptr;
    // Where the focus was when the help panel opened; it goes back there when the panel closes.
    QPointer<QWidget> beforeHelp_;
    QPushButton* cmdAnteprima_ = nullptr;
    // Made the first time it is shown; the window's size and place without it.
    SheetPreview* preview_ = nullptr;
    QSize formSize_;
    std::optional<QPoint> formPlace_;
    QString previewPrinter_;
    // The back the preview was given last, and what it was read from.
    struct PreviewBackKey {
        CardBack back;
        bool qr = false;
        TurnEdge edge = TurnEdge::Long;
        double across = 0, down = 0;
        bool operator==(const PreviewBackKey&) const = default;
    };
    std::optional<PreviewBackKey> previewBackKey_;
    // The back as set, for the preview's printer, read from the settings once they changed.
    std::optional<PreviewBackKey> backSetting_;
    std::shared_ptr<const BackContent> previewBack_;
    QString previewBackNote_;
    QFutureWatcher<std::shared_ptr<Result<std::shared_ptr<const BackContent>>>> previewBackRead_;
};

}  // namespace quarzello
