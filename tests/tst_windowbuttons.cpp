// The window's own buttons and boxes beyond the form: the paper choice and its A4 box, the help
// panel, Exit and the close box, and the release text.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "datafiles.h"
#include "window/helptext.h"
#include "window/releasetext.h"
#include "window/twips.h"
#include "windowfixture.h"

using namespace quarzello;

class WindowButtonsTest : public QObject {
    Q_OBJECT

  private slots:
    void a4BoxAnswersWithMessage() {
        WindowFixture f;
        f.open();
        auto* a4 = f.child<QLineEdit>("txta4");
        QTest::mouseClick(a4, Qt::LeftButton);
        QTest::keyClicks(a4, "A3");
        QCOMPARE(a4->text(), QStringLiteral("A4"));
        QCOMPARE(f.prompts.messages.size(), 1);
        const MessageRequest& m = f.prompts.messages.first();
        QCOMPARE(m.text, QStringLiteral("Il dato è fisso: solo formato A4"));
        QCOMPARE(m.title, QStringLiteral("Quarzello del Camperista"));
        QCOMPARE(m.buttons, PromptButtons::Ok);
        QCOMPARE(m.icon, PromptIcon::None);
    }
    void paperChoiceShowsItsGridAndIsRemembered() {
        // A product remembered that is no longer installed.
        QTemporaryDir config;
        const QString settings = config.filePath("quarzello.conf");
        QVERIFY(datafiles::writeBytes(settings,
                                      "[carta]\nprodotto=Avery Nessuna\ncolonne=3\nrighe=7\n"
                                      "[anteprima]\nvisibile=true\n"));
        WindowFixture f;
        f.settingsFile = settings;
        f.open();
        auto* paper = f.child<QComboBox>("cmbCarta");
        auto* rows = f.child<QComboBox>("cmbRighe");
        // Shown by its name and grid: nothing read at start-up, even for the preview.
        QCOMPARE(entries(paper), (QStringList{"A4 da tagliare", "Avery Nessuna"}));
        QCOMPARE(rows->currentText(), QStringLiteral("7"));
        // Read off the window's thread for the preview; the key waits for it.
        paper->setFocus();
        QTest::keyClick(paper, Qt::Key_Down);  // A4, then the catalogue's first product
        QTRY_COMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text,
                 QStringLiteral("La carta \"Avery Nessuna\" non è più "
                                "installata: si stampa su A4 da tagliare."));
        QVERIFY2(paper->currentText().contains(" — 2 × 5, "), qPrintable(paper->currentText()));
        QCOMPARE(rows->currentText(), QStringLiteral("5"));
        QVERIFY(!rows->isEnabled());
        QCOMPARE(f.window->record().rows, QStringLiteral("6"));  // the record keeps its own grid
        const QString chosen = paper->currentData().toString();

        WindowFixture again;
        again.settingsFile = settings;
        again.open();
        QCOMPARE(again.child<QComboBox>("cmbCarta")->currentText(), chosen);
        QCOMPARE(again.child<QComboBox>("cmbRighe")->currentText(), QStringLiteral("5"));
        QTest::keyClick(paper, Qt::Key_Up);
        QCOMPARE(rows->currentText(), QStringLiteral("6"));
        QVERIFY(rows->isEnabled());
    }
    void helpPanelStates() {
        WindowFixture f;
        frmQuarzello& w = f.open();
        w.show();
        auto* help = f.child<QPlainTextEdit>("txtHelp");
        QVERIFY(help->isHidden());

        QTest::mouseClick(f.child<QWidget>("cmdHelp"), Qt::LeftButton);
        QVERIFY(help->isVisible());
        QCOMPARE(help->toPlainText(), helpText().replace("\r\n", "\n"));
        QCOMPARE(help->geometry(), twipsRect(120, 480, 6735, 3855));

        // Pressed again while shown (its access key): same text, still shown.
        f.child<QPushButton>("cmdHelp")->click();
        QVERIFY(help->isVisible());

        // Typing and scrolling leave it shown; a click in the text hides it.
        QTest::keyClicks(help, "abc");
        QCOMPARE(help->toPlainText(), helpText().replace("\r\n", "\n"));
        help->verticalScrollBar()->setValue(help->verticalScrollBar()->maximum());
        QTest::mouseClick(help->verticalScrollBar(), Qt::LeftButton);
        QVERIFY(help->isVisible());
        QTest::mouseClick(help->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(help->isHidden());

        // Any change of its text hides it.
        f.child<QPushButton>("cmdHelp")->click();
        help->setPlainText(QStringLiteral("x"));
        QVERIFY(help->isHidden());
    }
    void exitAnswered_data() {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("no") << PromptAnswer::No << true;
        QTest::newRow("yes") << PromptAnswer::Yes << false;
    }
    void exitAnswered() {
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, stillOpen);
        WindowFixture f;
        frmQuarzello& w = f.open();
        w.show();
        f.child<QLineEdit>("txtCampo_2")->setText(QStringLiteral("Rossi"));
        f.prompts.answers.push_back(answer);
        QTest::mouseClick(f.child<QWidget>("cmdEsci"), Qt::LeftButton);

        QCOMPARE(f.prompts.messages.size(), 1);
        const MessageRequest& m = f.prompts.messages.first();
        QCOMPARE(m.text, QStringLiteral("Vuoi uscire dal programma?"));
        QCOMPARE(m.buttons, PromptButtons::YesNo);
        QCOMPARE(m.defaultButton, PromptAnswer::Yes);
        QCOMPARE(m.icon, PromptIcon::None);
        QCOMPARE(w.isVisible(), stillOpen);
        QCOMPARE(w.record().fields[2], QStringLiteral("Rossi"));
        // Nothing is written on the way out.
        QVERIFY(!QFile::exists(w.NomeFile()));
    }
    void closeBoxEndsWithoutQuestion() {
        WindowFixture f;
        frmQuarzello& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(!QFile::exists(w.NomeFile()));
    }
    void releaseText_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QString>("text");
        QTest::newRow("no leading zeros") << 2 << 10 << 3 << "Rel. 2.10.3";
        QTest::newRow("zeros") << 0 << 0 << 0 << "Rel. 0.0.0";
    }
    void releaseText() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(QString, text);
        QCOMPARE(quarzello::releaseText({major, minor, patch}), text);
    }
};

QTEST_MAIN(WindowButtonsTest)
#include "tst_windowbuttons.moc"
