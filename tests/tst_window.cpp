// The main window as designed: controls, geometry, texts, stacking, tab order, start-up, exit,
// help panel and typing rules, driven through real widgets and real key events.
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include "datafiles.h"
#include "platform/focusring.h"
#include "platform/marginmemory.h"
#include "window/helptext.h"
#include "window/releasetext.h"
#include "window/twips.h"
#include "windowfixture.h"

using namespace quarzello;

namespace {

QString captionOf(QWidget* widget) {
    if (auto* b = qobject_cast<QAbstractButton*>(widget)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(widget)) return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(widget)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(widget)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(widget)) return c->currentText();
    return {};
}

// Types a string one character at a time; keyClicks cannot send non-ASCII characters.
void typeText(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void fieldBoxes_data();
    void fieldBoxes();
    void controlsInSight();
    void windowFrameIsFixed();
    void previewBesideTheForm();
    void stackingFrontToBack();
    void tabOrderFromFirstField();
    void screenReaderNames();
    void startUpPlacesAndLabels();
    void processSetUpMakesProgramFolderCurrent();
    void gridListsOfferTheirEntries();
    void gridListsKeepTypedText();
    void typingRules_data();
    void typingRules();
    void refusedCharactersOutsideCodePage();
    void pasteBringsAnythingUpToMaxLength();
    void recordRoundTripKeepsLongValues();
    void a4BoxAnswersWithMessage();
    void paperChoiceShowsItsGridAndIsRemembered();
    void helpPanelStates();
    void exitAnswered_data();
    void exitAnswered();
    void closeBoxEndsWithoutQuestion();
    void releaseText_data();
    void releaseText();
};

void WindowTest::controlsAsDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("bold");

    auto row = [](const char* name, const QString& caption, const QString& tip, bool bold) {
        QTest::newRow(name) << QString(name) << caption << tip << bold;
    };
    row("frmDati", "Dati personali:", "Area dati personali (dati non obbligatori)", true);
    row("frmPagina", "Pagina:", "Area tipologia di stampa", true);
    row("Frame1", "Memorizzazione biglietti:", "", false);
    row("frmPrinter", "Selezione stampante:", "", true);
    row("lblFormato", "Formato della pagina:", "", false);
    row("txta4", "A4", "Formato pagina: campo fisso in A4", false);
    row("lblRighe", "Righe per pagina:", "", false);
    row("cmbRighe", "6", "Numero di righe stampate per pagina (ripetizione biglietto)", false);
    row("lblColonne", "Colonne per pagina:", "", false);
    row("cmbColonne", "2", "Numero di colonne stampate per pagina (ripetizione biglietto)", false);
    row("cmdCarica", "&Carica", "Carica i dati personali già salvati su file.", false);
    row("cmdSalva", "Sa&lva", "Salva i dati personali su file.", false);
    row("cmdHelp", "&?", "Help, Istruzioni", true);
    row("cmdStampa", "&Stampa", "Stampa i biglietti (colonne per righe per pagina)", true);
    row("cmdEsci", "&Esci", "Fine, uscita dal programma", false);
    row("lblCopyright", quarzello::releaseText(), "Versione del pacchetto", false);
    row("lstStampanti", "", "", true);
    row("cmdSelStampante_0", "&Stampa", "Avvio della stampa", true);
    row("cmdSelStampante_1", "&Rinuncia", "Rinuncia alla stampa", true);
    row("lblDesc_0", "Titolo:", "", false);
    row("lblDesc_1", "Nome:", "", false);
    row("lblDesc_2", "Cognome:", "", false);
    row("lblDesc_5", "Incarico:", "", false);
    row("lblDesc_3", "Indirizzo:", "", false);
    row("lblDesc_4", "Cap/Città:", "", false);
    row("lblDesc_6", "Telefono:", "", false);
    row("lblDesc_7", "Cell.", "", false);
    row("lblDesc_8", "E-mail:", "", false);
    row("lblDesc_9", "Sito:", "", false);
}

void WindowTest::controlsAsDesigned() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, bold);

    WindowFixture f;
    f.open();
    auto* widget = f.child<QWidget>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(captionOf(widget), caption);
    QCOMPARE(widget->toolTip(), toolTip);
    QCOMPARE(widget->font().bold(), bold);
}

void WindowTest::fieldBoxes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("toolTip");

    const int left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
    QTest::newRow("0 titolo") << 0 << 20 << left << "Indicare, se preferito, Dott., Rag, ecc.";
    QTest::newRow("1 nome") << 1 << 35 << left
                            << "Indicare il nome (od i nomi: p.e.: Mario e Maria...)";
    QTest::newRow("2 cognome") << 2 << 30 << left << "Indicare il cognome";
    QTest::newRow("3 incarico") << 3 << 50 << left
                                << "Indicare l'eventuale incarico (Presidente circolo...)";
    QTest::newRow("4 indirizzo") << 4 << 35 << left << "Indicare l'indirizzo: Via e numero civico";
    QTest::newRow("5 cap") << 5 << 5 << centre << "Indicare il CAP";
    QTest::newRow("6 citta") << 6 << 35 << left
                             << "Indicare la Città (e la provincia, se necessario)";
    QTest::newRow("7 telefono") << 7 << 18 << right << "Indicare il numero di telefono fisso";
    QTest::newRow("8 cellulare") << 8 << 18 << right << "Indicare il numero di cellulare";
    QTest::newRow("9 email") << 9 << 80 << left
                             << "Indicare l'indirizzo e-mail (o più d'uno, separati da ;)";
    QTest::newRow("10 sito") << 10 << 100 << left << "Indicare l'eventuale sito personale";
}

void WindowTest::fieldBoxes() {
    QFETCH(int, index);
    QFETCH(int, maxLength);
    QFETCH(int, alignment);
    QFETCH(QString, toolTip);

    WindowFixture f;
    f.open();
    auto* box = f.child<QLineEdit>(QStringLiteral("txtCampo_%1").arg(index));
    QVERIFY(box);
    QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("frmDati"));
    if (index != 6 && index != 8) QCOMPARE(box->x(), f.child<QWidget>("txtCampo_0")->x());
    QCOMPARE(box->maxLength(), maxLength);
    QCOMPARE(int(box->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(box->toolTip(), toolTip);
    QVERIFY(box->text().isEmpty());
    // Typing one character more than the limit is refused by the box.
    QTest::keyClicks(box, QString(maxLength + 1, u'1'));
    QCOMPARE(box->text().size(), maxLength);
}

void WindowTest::controlsInSight() {
    WindowFixture f;
    f.open();
    // Inside its frame, and beside its neighbours, never under one, nor its focus ring over their
    // captions: only the two panels lie over the window, and they are hidden until asked for; the
    // buttons of the preview and of the member list stand on the free ends of the title banner.
    const auto designed = [](QWidget* w) {
        const QString name = w->objectName();
        return !name.isEmpty() && !name.startsWith("qt_") && name != "txtHelp" &&
               name != "frmPrinter";
    };
    const auto onTheBanner = [](QWidget* a, QWidget* b) {
        const QString both = a->objectName() + b->objectName() + a->objectName();
        return both.contains(QStringLiteral("lblTitolocmdAnteprima")) ||
               both.contains(QStringLiteral("lblTitolocmdElenco"));
    };
    const auto captionArea = [](QWidget* w) {
        auto* l = qobject_cast<QLabel*>(w);
        return l ? QStyle::alignedRect(Qt::LeftToRight, l->alignment(),
                                       l->fontMetrics().size(0, l->text()), l->geometry())
                 : QRect();
    };
    for (QWidget* control : f.window->findChildren<QWidget*>()) {
        if (!designed(control)) continue;
        QWidget* frame = control->parentWidget();
        QVERIFY2(frame->rect().contains(control->geometry()), qPrintable(control->objectName()));
        const QRect ring = control->focusPolicy() & Qt::TabFocus
                               ? control->geometry().adjusted(-3, -3, 3, 3)
                               : QRect();
        for (QWidget* other : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(other == control || !designed(other) || onTheBanner(control, other) ||
                         (!other->geometry().intersects(control->geometry()) &&
                          !ring.intersects(captionArea(other))),
                     qPrintable(control->objectName() + " " + other->objectName()));
    }
}

void WindowTest::windowFrameIsFixed() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    QCOMPARE(w.size(), QSize(461, 301));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(w.font().pointSizeF(), 8.25);
}

void WindowTest::previewBesideTheForm() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    QCOMPARE(w.size(), QSize(461, 301));
    QVERIFY(!w.findChild<QWidget*>("preview"));  // nothing of it made while hidden
    QList<std::pair<QWidget*, QRect>> form;
    for (QWidget* child : w.findChildren<QWidget*>()) form.append({child, child->geometry()});
    const QPoint place = w.pos();

    auto* button = f.child<QPushButton>("cmdAnteprima");
    button->click();
    auto* preview = f.child<QWidget>("preview");
    QVERIFY(preview && !preview->isHidden() && !preview->accessibleName().isEmpty());
    // On the screen's free area, smaller here than the sheet would like.
    QVERIFY(w.width() > 461 && w.screen()->availableGeometry().contains(w.frameGeometry()));
    QCOMPARE(preview->geometry(), QRect(461, 0, w.width() - 461, w.height()));
    // The panels lie over it as over the form.
    const QObjectList stack = w.children();
    QVERIFY(stack.indexOf(preview) < stack.indexOf(f.child<QWidget>("txtHelp")));
    for (const auto& [child, geometry] : form) QCOMPARE(child->geometry(), geometry);

    button->click();
    QCOMPARE(w.size(), QSize(461, 301));
    QCOMPARE(w.pos(), place);
    QVERIFY(preview->isHidden());
    // Shown again next run, as it was left.
    button->click();
    f.window.reset();
    QVERIFY(f.open().width() > 461);
}

void WindowTest::stackingFrontToBack() {
    WindowFixture f;
    f.open();
    // Siblings are drawn in the order of children(): the last one is in front.
    QStringList backToFront;
    for (QObject* child : f.window->children())
        if (child->isWidgetType() && !child->objectName().isEmpty())
            backToFront << child->objectName();
    const QStringList expected = {"lblTitolo", "cmdElenco", "cmdAnteprima", "frmDati",
                                  "frmPagina", "Frame1",    "frmlogo",      "frmButton",
                                  "txtHelp",   "frmPrinter"};
    QCOMPARE(backToFront, expected);
}

void WindowTest::tabOrderFromFirstField() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtCampo_0"));
    // The focus shows as a ring two pixels wide that stands out from the teal around it.
    const QImage shot = w.grab().toImage();
    const QPoint edge = f.child<QWidget>("txtCampo_0")->mapTo(&w, QPoint(0, 10));
    for (QPoint ring : {edge - QPoint(2, 0), edge - QPoint(3, 0)})
        QVERIFY(contrastRatio(shot.pixelColor(ring), QColor(0, 128, 128)) >= 3);

    QStringList visited;
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // The edit part of a drop-down list belongs to the list.
        if (qobject_cast<QComboBox*>(focus->parentWidget())) focus = focus->parentWidget();
        visited << focus->objectName();
        if (visited.last() == QStringLiteral("txtCampo_0")) break;
    }
    QStringList expected;
    for (int i = 1; i <= 10; ++i) expected << QStringLiteral("txtCampo_%1").arg(i);
    expected << "txta4"
             << "cmbCarta"
             << "cmbRighe"
             << "cmbColonne"
             << "chkQr"
             << "cmdRetro"
             << "cmdSalva"
             << "cmdHelp"
             << "cmdCarica"
             << "cmdEsci"
             << "cmdStampa"
             << "cmdElenco"
             << "cmdAnteprima"
             << "txtCampo_0";
    QCOMPARE(visited, expected);

    // While a panel is shown, Tab goes round it alone: the help panel, then the printer panel
    // lying over it.
    f.child<QPushButton>("cmdHelp")->click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtHelp"));
    f.child<QPushButton>("cmdStampa")->click();
    QStringList tail;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tail << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(tail, QStringList({"cmdSelStampante_0", "cmdSelStampante_1", "lstStampanti",
                                "cmdSelStampante_0"}));
}

void WindowTest::screenReaderNames() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    QCOMPARE(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Window);
    const auto spoken = [](QObject* control) {
        return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
    };
    // Every control that takes the focus, in tab order; a list is spoken through its edit part.
    QStringList names;
    QWidget* control = f.child<QWidget>("txtCampo_0");
    do {
        if (control->focusPolicy() & Qt::TabFocus && !qobject_cast<QComboBox*>(control))
            names << spoken(control);
    } while ((control = control->nextInFocusChain()) != f.child<QWidget>("txtCampo_0"));
    QCOMPARE(names.join(','),
             "Titolo,Nome,Cognome,Incarico,Indirizzo,CAP,Città,Telefono,Cellulare,E-mail,Sito,"
             "Formato della pagina,Righe per pagina,Colonne per pagina,Codice QR,Retro,Salva,Aiuto,"
             "Carica,Esci,Stampa,Istruzioni,Stampa sulla stampante scelta,Rinuncia,Stampanti,"
             "Regola la posizione…,Elenco soci,Anteprima");
    for (const char* picture : {"imgCG", "imgCN"})
        QVERIFY(!spoken(f.child<QWidget>(picture)).isEmpty());
    // "Formato" is told read-only, not editable; a closed list's entries are not focused.
    const QAccessible::State a4 =
        QAccessible::queryAccessibleInterface(f.child<QWidget>("txta4"))->state();
    QVERIFY(a4.readOnly && !a4.editable && a4.focusable);
    auto* rows = f.child<QComboBox>("cmbRighe");
    rows->showPopup();
    rows->hidePopup();
    QVERIFY(!QAccessible::queryAccessibleInterface(rows->view())->child(5)->state().focused);
}

void WindowTest::startUpPlacesAndLabels() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Quarzello del Camperista"));
    QVERIFY(f.child<QWidget>("frmPrinter")->isHidden());
    QVERIFY(f.child<QWidget>("txtHelp")->isHidden());
    auto* title = f.child<QLabel>("lblTitolo");
    QCOMPARE(title->text(), QStringLiteral("Quarzello del Camperista"));
    QCOMPARE(title->x(), f.child<QWidget>("frmDati")->x());
    // 3.5 times the data frame's left (60 twips) narrower than the window.
    QCOMPARE(title->width(), twipsToPixels(w.frameGeometry().width() * 15 - 210));
    QCOMPARE(f.child<QWidget>("frmPrinter")->geometry(), twipsRect(3240, 1500, 3615, 2820));
    QCOMPARE(f.child<QPlainTextEdit>("txtHelp")->toPlainText(), QStringLiteral("(Istruzioni)\n"));
    // Every box, the first-run greeting included, is the window's own.
    QCOMPARE(f.prompts.parentWindow, &w);

    const QRect screen = w.screen()->geometry();
    QCOMPARE(w.x(), screen.left() + qRound(screen.width() / 2.0 - w.frameGeometry().width() / 2.0));
    QCOMPARE(w.y(),
             screen.top() + qRound(screen.height() / 2.0 - w.frameGeometry().height() / 2.0));
}

void WindowTest::processSetUpMakesProgramFolderCurrent() {
    const QString before = QDir::currentPath();
    QTemporaryDir programFolder;
    QDir::setCurrent(QDir::tempPath());
    setUpProcess(programFolder.path());
    QCOMPARE(QDir::current().canonicalPath(), QDir(programFolder.path()).canonicalPath());
    QDir::setCurrent(before);

    WindowFixture f;
    f.open();
    QCOMPARE(f.window->NomeFile(), f.folder.path() + QStringLiteral("/Quarzo.qdf"));
}

void WindowTest::gridListsOfferTheirEntries() {
    WindowFixture f;
    f.open();
    QCOMPARE(entries(f.child<QComboBox>("cmbRighe")),
             QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
    QCOMPARE(entries(f.child<QComboBox>("cmbColonne")), QStringList({"1", "2", "3", "4"}));
    QVERIFY(f.child<QComboBox>("cmbRighe")->isEditable());
    QVERIFY(f.child<QComboBox>("cmbColonne")->isEditable());
}

void WindowTest::gridListsKeepTypedText() {
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

void WindowTest::typingRules_data() {
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
    QTest::newRow("title: 21st character") << 0 << "" << false << false << "Dottoressa in lettere"
                                           << "Dottoressa in letter";
}

void WindowTest::typingRules() {
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

void WindowTest::refusedCharactersOutsideCodePage() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    auto* box = f.child<QLineEdit>("txtCampo_1");
    typeText(box, QStringLiteral("Nicolò €ж✓’"));
    // What the box shows is exactly what the file can hold.
    QCOMPARE(box->text(), QStringLiteral("Nicolò €’"));
    QCOMPARE(w.record().fields[1], QStringLiteral("Nicolò €’"));
}

void WindowTest::pasteBringsAnythingUpToMaxLength() {
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

void WindowTest::recordRoundTripKeepsLongValues() {
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

void WindowTest::paperChoiceShowsItsGridAndIsRemembered() {
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

void WindowTest::a4BoxAnswersWithMessage() {
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

void WindowTest::helpPanelStates() {
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

void WindowTest::exitAnswered_data() {
    QTest::addColumn<PromptAnswer>("answer");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("no") << PromptAnswer::No << true;
    QTest::newRow("yes") << PromptAnswer::Yes << false;
}

void WindowTest::exitAnswered() {
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

void WindowTest::closeBoxEndsWithoutQuestion() {
    WindowFixture f;
    frmQuarzello& w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(!QFile::exists(w.NomeFile()));
}

void WindowTest::releaseText_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QString>("text");
    QTest::newRow("no leading zeros") << 2 << 10 << 3 << "Rel. 2.10.3";
    QTest::newRow("zeros") << 0 << 0 << 0 << "Rel. 0.0.0";
}

void WindowTest::releaseText() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QString, text);
    QCOMPARE(quarzello::releaseText({major, minor, patch}), text);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
