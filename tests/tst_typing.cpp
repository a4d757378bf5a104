// Typing into the window's form as a user does, through real key events and the clipboard: what
// each box and grid list takes, what it refuses, and that the record keeps what was typed.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "windowfixture.h"

using namespace quarzello;

namespace {

// Types a string one character at a time; keyClicks cannot send non-ASCII characters.
void typeText(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

}  // namespace

class TypingTest : public QObject {
    Q_OBJECT

  private slots:
    void gridListsOfferTheirEntries() {
        WindowFixture f;
        f.open();
        QCOMPARE(entries(f.child<QComboBox>("cmbRighe")),
                 QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(entries(f.child<QComboBox>("cmbColonne")), QStringList({"1", "2", "3", "4"}));
        QVERIFY(f.child<QComboBox>("cmbRighe")->isEditable());
        QVERIFY(f.child<QComboBox>("cmbColonne")->isEditable());
    }
    void gridListsKeepTypedText() {
        WindowFixture f;
        frmQuarzello& w = f.open();
        auto* rows = f.child<QComboBox>("cmbRighe");
        rows->lineEdit()->selectAll();
        QTest::keyClicks(rows->lineEdit(), "10");
        QTest::keyClick(rows->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.record().rows, QStringLiteral("10"));
        QCOMPARE(rows->count(), 8);  // Return did not add an entry
        auto* columns = f.child<QComboBox>("cmbColonne");
        columns->lineEdit()->selectAll();
        QTest::keyClicks(columns->lineEdit(), " tre ");
        QCOMPARE(w.record().columns, QStringLiteral(" tre "));
        // What the data file's code page cannot hold is refused, as in the boxes.
        columns->lineEdit()->selectAll();
        typeText(columns->lineEdit(), QStringLiteral("2中"));
        QCOMPARE(w.record().columns, QStringLiteral("2"));
    }
    void typingRules_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<bool>("caretAtStart");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");

        QTest::newRow("phone: leading plus, second plus refused")
            << 7 << "" << false << false << "++39 06"
            << "+3906";
        QTest::newRow("phone: plus after digits refused") << 7 << "" << false << false << "0+6"
                                                          << "06";
        QTest::newRow("phone: plus with caret at start of digits")
            << 7 << "0612" << false << true << "+"
            << "0612";
        QTest::newRow("phone: plus over a whole selection") << 7 << "0612" << true << false << "+"
                                                            << "0612";
        QTest::newRow("mobile: punctuation refused") << 8 << "" << false << false << "333 -/()12"
                                                     << "33312";
        QTest::newRow("mobile: leading plus") << 8 << "" << false << false << "+39333"
                                              << "+39333";
        QTest::newRow("postcode: no plus, no letters") << 5 << "" << false << false << "+a0-0/1 23"
                                                       << "00123";
        QTest::newRow("postcode: sixth digit") << 5 << "" << false << false << "123456"
                                               << "12345";
        QTest::newRow("email: one semicolon") << 9 << "" << false << false << "a@b.it;c@d.it;e"
                                              << "a@b.it;c@d.ite";
        QTest::newRow("email: second semicolon anywhere") << 9 << "a@b.it;c" << false << true << ";"
                                                          << "a@b.it;c";
        QTest::newRow("site: one semicolon") << 10 << "" << false << false << "x.it;;y.it"
                                             << "x.it;y.it";
        QTest::newRow("name: anything") << 1 << "" << false << false << "Mario +; 12"
                                        << "Mario +; 12";
        QTest::newRow("title: 21st character")
            << 0 << "" << false << false << "Dottoressa in lettere"
            << "Dottoressa in letter";
    }
    void typingRules() {
        QFETCH(int, index);
        QFETCH(QString, before);
        QFETCH(bool, selectAll);
        QFETCH(bool, caretAtStart);
        QFETCH(QString, typed);
        QFETCH(QString, after);

        WindowFixture f;
        f.open();
        auto* box = f.child<QLineEdit>(QStringLiteral("txtCampo_%1").arg(index));
        box->setText(before);
        if (selectAll) box->selectAll();
        if (caretAtStart) box->setCursorPosition(0);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), after);

        // Backspace is a control character and always passes.
        const int length = box->text().size();
        box->end(false);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text().size(), qMax(0, length - 1));
    }
    void refusedCharactersOutsideCodePage() {
        WindowFixture f;
        frmQuarzello& w = f.open();
        auto* box = f.child<QLineEdit>("txtCampo_1");
        typeText(box, QStringLiteral("Nicolò €ж✓’"));
        // What the box shows is exactly what the file can hold.
        QCOMPARE(box->text(), QStringLiteral("Nicolò €’"));
        QCOMPARE(w.record().fields[1], QStringLiteral("Nicolò €’"));
    }
    void pasteBringsAnythingUpToMaxLength() {
        WindowFixture f;
        f.open();
        auto* cap = f.child<QLineEdit>("txtCampo_5");
        QApplication::clipboard()->setText(QStringLiteral("ab+cdefg"));
        cap->setFocus();
        QTest::keyClick(cap, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cap->text(), QStringLiteral("ab+cd"));

        auto* email = f.child<QLineEdit>("txtCampo_9");
        QApplication::clipboard()->setText(QStringLiteral("a@b.it;c@d.it;e@f.it"));
        QTest::keyClick(email, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(email->text(), QStringLiteral("a@b.it;c@d.it;e@f.it"));

        // A paste with a character the code page cannot hold is refused whole.
        auto* firstName = f.child<QLineEdit>("txtCampo_1");
        QApplication::clipboard()->setText(QStringLiteral("Ivan Ж"));
        QTest::keyClick(firstName, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(firstName->text(), QString());
    }
    void recordRoundTripKeepsLongValues() {
        WindowFixture f;
        frmQuarzello& w = f.open();
        CardRecord r;
        r.fields[0] = QStringLiteral("  Dott.  ");
        r.fields[5] = QStringLiteral("1234567");  // longer than the box takes from the keyboard
        r.fields[9] = QString(120, u'x');
        r.rows = QString(40000, u'9');  // longer than a list's edit box takes
        r.columns = QStringLiteral("abc");
        w.setRecord(r);
        QCOMPARE(w.record(), r);

        // Once the user brings it within the limit, the limit holds again.
        auto* cap = f.child<QLineEdit>("txtCampo_5");
        cap->end(false);
        QTest::keyClick(cap, Qt::Key_Backspace);
        QTest::keyClick(cap, Qt::Key_Backspace);
        QTest::keyClicks(cap, "89");
        QCOMPARE(cap->text(), QStringLiteral("12345"));
    }
};

QTEST_MAIN(TypingTest)
#include "tst_typing.moc"
