// The back of the card in the window: the Retro dialog, the print with a back, the two-sided
// setting of "Regola la posizione…", and the preview's back.
#include <QtTest>
#include <QtWidgets>

#include "flows/printcommands.h"
#include "printpanelfixture.h"

using namespace quarzello;

class BackWindowTest : public PrintPanelFixture {
    Q_OBJECT
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
    void pickAlfa() {
        pressPrint();
        QVERIFY(pickPrinter(list, "Alfa"));
    }

  private slots:
    void init() {
        PrintPanelFixture::init();
        emblem = f->folder.filePath("stemma.png");
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(emblem));
    }

    // The dialog shows the back as kept, offers the code on the back only with the QR code
    // chosen, and keeps what OK confirms.
    void dialogKeepsTheBack() {
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
        QCOMPARE(f->store->back(),
                 (CardBack{emblem, {"Camper Club Roma", "dal 1987"}, false, true}));

        f->child<QCheckBox>("chkQr")->setChecked(true);
        dialog = openDialog("cmdRetro", "dlgRetro");
        QCOMPARE(in<QLineEdit>(dialog, "txtRigaRetro_1")->text(), QStringLiteral("dal 1987"));
        QVERIFY(in<QCheckBox>(dialog, "chkQrRetro")->isEnabled());
        QTest::mouseClick(in<QPushButton>(dialog, "cmdNessunoStemma"), Qt::LeftButton);
        dialog->reject();  // Annulla keeps nothing
        QCOMPARE(f->store->back().emblem, emblem);
    }

    // A print with the back on the printer's way of printing both sides; an emblem that cannot
    // be read asked about. The setup: 2 the printer prints both sides, g the emblem is gone, n
    // the answer is no. The one question, if any; what comes out: each job's sides (1 one side, L
    // long edge), whether the back's line is drawn, the emblems drawn (one a card).
    void printWithTheBack_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("printed");
        const QString turn = printBacksQuestion("Alfa", {}, 1);
        const QString without = QStringLiteral("Stampare il retro senza lo stemma?");
        QTest::newRow("automatic") << "2" << QString() << "L 1 12";
        QTest::newRow("by hand") << "" << turn << "11 1 12";
        QTest::newRow("by hand, no backs") << "n" << turn << "1 0 0";
        QTest::newRow("emblem gone, without it") << "2g" << without << "L 1 0";
        QTest::newRow("emblem gone, nothing") << "2gn" << without << " 0 0";
    }
    void printWithTheBack() {
        QFETCH(QString, setup);
        QFETCH(QString, asked);
        if (setup.contains('2')) f->printers.twoSided << "Alfa";
        if (setup.contains('g')) QVERIFY(QFile::remove(emblem));
        QVERIFY(f->store->rememberBack({emblem, {"Camper Club Roma"}, false, true}));
        f->prompts.answers = {setup.contains('n') ? PromptAnswer::No : PromptAnswer::Yes};
        pickAlfa();
        pressPanel(0);
        QString sides;
        for (const JobSides s : f->printers.jobSides["Alfa"])
            sides += s == JobSides::OneSided ? '1' : s == JobSides::LongEdge ? 'L' : 'S';
        const RecordingSurface& drawn = f->printers.drawing;
        const bool line =
            std::any_of(drawn.texts.begin(), drawn.texts.end(),
                        [](const RecordedText& t) { return t.text == "Camper Club Roma"; });
        QTEST(QString("%1 %2 %3").arg(sides).arg(int(line)).arg(drawn.emblems.size()), "printed");
        QStringList questions;
        for (const MessageRequest& m : f->prompts.messages)
            if (m.buttons == PromptButtons::YesNo) questions << m.text;
        QCOMPARE(questions.size(), asked.isEmpty() ? 0 : 1);
        // The emblem's question names the file.
        QVERIFY(questions.value(0).contains(asked) &&
                (!setup.contains('g') || questions.value(0).contains(emblem)));
    }

    // Automatic is offered only for a printer that prints both sides, and is then its default;
    // what the user chooses, and the back's offset, are kept for the printer.
    void automaticOnlyWhenThePrinterCan_data() {
        QTest::addColumn<bool>("twoSided");
        QTest::newRow("two-sided") << true;
        QTest::newRow("one-sided") << false;
    }
    void automaticOnlyWhenThePrinterCan() {
        QFETCH(bool, twoSided);
        if (twoSided) f->printers.twoSided << "Alfa";
        pickAlfa();
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
    void previewShowsTheBack() {
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
};

QTEST_MAIN(BackWindowTest)
#include "tst_backwindow.moc"
