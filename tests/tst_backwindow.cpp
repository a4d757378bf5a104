// The back of the card in the window: the Retro dialog, the print with a back, the two-sided
// setting of "Regola la posizione…", and the preview's back.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QtTest>

#include "flows/printcommands.h"
#include "windowfixture.h"

using namespace quarzello;

class BackWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void dialogKeepsTheBack();
    void printWithTheBack_data();
    void printWithTheBack();
    void automaticOnlyWhenThePrinterCan_data();
    void automaticOnlyWhenThePrinterCan();
    void previewShowsTheBack();

  private:
    std::unique_ptr<WindowFixture> f;
    frmQuarzello* w = nullptr;
    QString emblem;

    template <typename T>
    T* in(QDialog* dialog, const char* name) {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    QDialog* openDialog(const char* button, const char* name) {
        // One closed before is gone first.
        [&] { QTRY_VERIFY(!f->child<QDialog>(QLatin1String(name))); }();
        QTest::mouseClick(f->child<QPushButton>(QLatin1String(button)), Qt::LeftButton);
        return f->child<QDialog>(QLatin1String(name));
    }
    void pickAndPress(const QString& entry) {
        QTest::mouseClick(f->child<QPushButton>("cmdStampa"), Qt::LeftButton);
        QTRY_VERIFY(!w->commandUnderWay());
        QVERIFY(pickPrinter(f->child<QListWidget>("lstStampanti"), entry));
    }
};

void BackWindowTest::init() {
    f = std::make_unique<WindowFixture>();
    f->printers.names = {"Alfa"};
    emblem = f->folder.filePath("stemma.png");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(emblem));
    w = &f->open();
    w->show();
    CardRecord r;
    r.fields[Surname] = "Rossi";
    w->setRecord(r);
}

// The dialog shows the back as kept, offers the code on the back only with the QR code chosen,
// and keeps what OK confirms.
void BackWindowTest::dialogKeepsTheBack() {
    QDialog* dialog = openDialog("cmdRetro", "dlgRetro");
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!in<QCheckBox>(dialog, "chkQrRetro")->isEnabled());
    f->prompts.files = {emblem};
    QTest::mouseClick(in<QPushButton>(dialog, "cmdScegliStemma"), Qt::LeftButton);
    QVERIFY(!in<QLabel>(dialog, "imgStemma")->pixmap().isNull());
    in<QLineEdit>(dialog, "txtRigaRetro_0")->setText("Camper Club Roma");
    in<QLineEdit>(dialog, "txtRigaRetro_1")->setText("dal 1987");
    in<QCheckBox>(dialog, "chkStampaRetro")->setChecked(true);
    dialog->accept();
    QCOMPARE(f->store->back(), (CardBack{emblem, {"Camper Club Roma", "dal 1987"}, false, true}));

    f->child<QCheckBox>("chkQr")->setChecked(true);
    dialog = openDialog("cmdRetro", "dlgRetro");
    QCOMPARE(in<QLineEdit>(dialog, "txtRigaRetro_1")->text(), QStringLiteral("dal 1987"));
    QVERIFY(in<QCheckBox>(dialog, "chkQrRetro")->isEnabled());
    QTest::mouseClick(in<QPushButton>(dialog, "cmdNessunoStemma"), Qt::LeftButton);
    dialog->reject();  // Annulla keeps nothing
    QCOMPARE(f->store->back().emblem, emblem);
}

// A print with the back on the printer's way of printing both sides; an emblem that cannot be
// read asked about.
void BackWindowTest::printWithTheBack_data() {
    QTest::addColumn<bool>("twoSided");
    QTest::addColumn<bool>("emblemThere");
    QTest::addColumn<PromptAnswer>("answer");
    QTest::addColumn<QList<JobSides>>("sides");
    QTest::addColumn<bool>("back");      // the back's line printed
    QTest::addColumn<int>("emblems");    // drawn, one a card
    QTest::addColumn<QString>("asked");  // the one question, if any
    const auto one = JobSides::OneSided, both = JobSides::LongEdge;
    const QString without = QStringLiteral("Stampare il retro senza lo stemma?");
    const QString turn = printBacksQuestion("Alfa", {}, 1);
    QTest::newRow("automatic") << true << true << PromptAnswer::Yes << QList{both} << true << 12
                               << QString();
    QTest::newRow("by hand") << false << true << PromptAnswer::Yes << QList{one, one} << true << 12
                             << turn;
    QTest::newRow("by hand, no backs")
        << false << true << PromptAnswer::No << QList{one} << false << 0 << turn;
    QTest::newRow("emblem gone, without it")
        << true << false << PromptAnswer::Yes << QList{both} << true << 0 << without;
    QTest::newRow("emblem gone, nothing")
        << true << false << PromptAnswer::No << QList<JobSides>{} << false << 0 << without;
}

void BackWindowTest::printWithTheBack() {
    QFETCH(bool, twoSided);
    QFETCH(bool, emblemThere);
    QFETCH(PromptAnswer, answer);
    QFETCH(QList<JobSides>, sides);
    QFETCH(bool, back);
    QFETCH(int, emblems);
    QFETCH(QString, asked);
    if (twoSided) f->printers.twoSided << "Alfa";
    if (!emblemThere) QVERIFY(QFile::remove(emblem));
    QVERIFY(f->store->rememberBack({emblem, {"Camper Club Roma"}, false, true}));
    f->prompts.answers = {answer};
    pickAndPress("Alfa");
    QTest::mouseClick(f->child<QPushButton>("cmdSelStampante_0"), Qt::LeftButton);
    QTRY_VERIFY(!w->commandUnderWay());
    QCOMPARE(f->printers.jobSides["Alfa"], sides);
    QCOMPARE(f->printers.drawing.emblems.size(), emblems);
    bool backLine = false;
    for (const RecordedText& t : f->printers.drawing.texts)
        backLine |= t.text == "Camper Club Roma";
    QCOMPARE(backLine, back);
    QStringList questions;
    for (const MessageRequest& m : f->prompts.messages)
        if (m.buttons == PromptButtons::YesNo) questions << m.text;
    QCOMPARE(questions.size(), asked.isEmpty() ? 0 : 1);
    QVERIFY(questions.value(0).contains(asked));
    // The emblem's question names the file.
    QVERIFY(emblemThere || questions.value(0).contains(emblem));
}

// Automatic is offered only for a printer that prints both sides, and is then its default;
// what the user chooses, and the back's offset, are kept for the printer.
void BackWindowTest::automaticOnlyWhenThePrinterCan_data() {
    QTest::addColumn<bool>("twoSided");
    QTest::newRow("two-sided") << true;
    QTest::newRow("one-sided") << false;
}

void BackWindowTest::automaticOnlyWhenThePrinterCan() {
    QFETCH(bool, twoSided);
    if (twoSided) f->printers.twoSided << "Alfa";
    pickAndPress("Alfa");
    QDialog* dialog = openDialog("cmdPosizione", "dlgPosizione");
    QVERIFY(dialog);
    auto* sides = in<QComboBox>(dialog, "cmbFronteRetro");
    auto* model = static_cast<QStandardItemModel*>(sides->model());
    QTRY_VERIFY(!in<QLabel>(dialog, "lblFronteRetro")->text().startsWith("Si chiede"));
    QCOMPARE(sides->currentIndex(), twoSided ? 0 : 2);
    QCOMPARE(model->item(0)->isEnabled(), twoSided);
    QCOMPARE(model->item(1)->isEnabled(), twoSided);
    QVERIFY(!in<QCheckBox>(dialog, "chkRetroInverso")->isEnabled() || !twoSided);
    dialog->accept();  // the default is not kept: it follows the printer
    QCOMPARE(f->store->duplex("Alfa"), std::nullopt);

    dialog = openDialog("cmdPosizione", "dlgPosizione");
    sides = in<QComboBox>(dialog, "cmbFronteRetro");
    sides->setCurrentIndex(3);
    emit sides->activated(3);
    in<QCheckBox>(dialog, "chkRetroInverso")->click();
    in<QDoubleSpinBox>(dialog, "txtRetroX")->setValue(-1.2);
    dialog->accept();
    QCOMPARE(f->store->duplex("Alfa"), (DuplexSetting{false, TurnEdge::Short, true}));
    QCOMPARE(f->store->backOffset("Alfa").offset.across, -1.2);
}

// The preview's switch shows the back page, with the emblem read once the preview is shown.
void BackWindowTest::previewShowsTheBack() {
    QVERIFY(f->store->rememberBack({emblem, {"Camper Club Roma"}, false, true}));
    f->child<QPushButton>("cmdAnteprima")->click();
    auto* preview = f->child<QWidget>("preview");
    auto* back = f->child<QPushButton>("cmdAnteprimaRetro");
    QTRY_VERIFY(back->isVisible());
    back->click();
    QTRY_VERIFY(preview->accessibleDescription().startsWith("Retro del foglio"));
    f->child<QPushButton>("cmdAnteprimaFronte")->click();
    QTRY_VERIFY(preview->accessibleDescription().startsWith("Foglio A4"));
}

QTEST_MAIN(BackWindowTest)
#include "tst_backwindow.moc"
