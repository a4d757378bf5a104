// The main window as designed: controls, geometry, texts, stacking, tab order, screen reader
// names and start-up, checked on real widgets and real key events.
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/focusring.h"
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

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void controlsAsDesigned_data() {
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
        row("cmbColonne", "2", "Numero di colonne stampate per pagina (ripetizione biglietto)",
            false);
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
    void controlsAsDesigned() {
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
    void fieldBoxes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("toolTip");

        const int left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
        QTest::newRow("0 titolo") << 0 << 20 << left << "Indicare, se preferito, Dott., Rag, ecc.";
        QTest::newRow("1 nome") << 1 << 35 << left
                                << "Indicare il nome (od i nomi: p.e.: Mario e Maria...)";
        QTest::newRow("2 cognome") << 2 << 30 << left << "Indicare il cognome";
        QTest::newRow("3 incarico")
            << 3 << 50 << left << "Indicare l'eventuale incarico (Presidente circolo...)";
        QTest::newRow("4 indirizzo")
            << 4 << 35 << left << "Indicare l'indirizzo: Via e numero civico";
        QTest::newRow("5 cap") << 5 << 5 << centre << "Indicare il CAP";
        QTest::newRow("6 citta") << 6 << 35 << left
                                 << "Indicare la Città (e la provincia, se necessario)";
        QTest::newRow("7 telefono") << 7 << 18 << right << "Indicare il numero di telefono fisso";
        QTest::newRow("8 cellulare") << 8 << 18 << right << "Indicare il numero di cellulare";
        QTest::newRow("9 email") << 9 << 80 << left
                                 << "Indicare l'indirizzo e-mail (o più d'uno, separati da ;)";
        QTest::newRow("10 sito") << 10 << 100 << left << "Indicare l'eventuale sito personale";
    }
    void fieldBoxes() {
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
    void controlsInSight() {
        WindowFixture f;
        f.open();
        // Inside its frame, and beside its neighbours, never under one, nor its focus ring over
        // their captions: only the two panels lie over the window, and they are hidden until asked
        // for; the buttons of the preview and of the member list stand on the free ends of the
        // title banner.
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
            QVERIFY2(frame->rect().contains(control->geometry()),
                     qPrintable(control->objectName()));
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
    void windowFrameIsFixed() {
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
    void previewBesideTheForm() {
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
    void stackingFrontToBack() {
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
    void tabOrderFromFirstField() {
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
    void screenReaderNames() {
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
        QCOMPARE(
            names.join(','),
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
    void startUpPlacesAndLabels() {
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
        QCOMPARE(f.child<QPlainTextEdit>("txtHelp")->toPlainText(),
                 QStringLiteral("(Istruzioni)\n"));
        // Every box, the first-run greeting included, is the window's own.
        QCOMPARE(f.prompts.parentWindow, &w);

        const QRect screen = w.screen()->geometry();
        QCOMPARE(w.x(),
                 screen.left() + qRound(screen.width() / 2.0 - w.frameGeometry().width() / 2.0));
        QCOMPARE(w.y(),
                 screen.top() + qRound(screen.height() / 2.0 - w.frameGeometry().height() / 2.0));
    }
    void processSetUpMakesProgramFolderCurrent() {
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
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
