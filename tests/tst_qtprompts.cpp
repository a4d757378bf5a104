// The real message boxes and file dialogs: Italian buttons, line breaks shown as such, the
// default button, and a file dialog that neither asks before overwriting nor adds an extension.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "datafiles.h"
#include "platform/focusring.h"
#include "platform/italian.h"
#include "platform/marginmemory.h"
#include "platform/qtprompts.h"
#include "platform/settingsstore.h"

using namespace quarzello;

namespace {

// Runs check on the modal dialog once it is up, then lets finish close it.
template <typename Dialog>
void whenShown(std::function<void(Dialog*)> check) {
    QTimer::singleShot(0, [check] {
        QTRY_VERIFY(qobject_cast<Dialog*>(QApplication::activeModalWidget()));
        check(qobject_cast<Dialog*>(QApplication::activeModalWidget()));
    });
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) texts << b->text().remove(u'&');
    texts.sort();
    return texts;
}

}  // namespace

class QtPromptsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(config_.isValid());
        QVERIFY(installItalianTranslations());
    }
    void marginQuestion_data();
    void marginQuestion();
    void marginChoiceIsRememberedPerPrinter();
    void settingsFileThatCannotBeUsed_data();
    void settingsFileThatCannotBeUsed();
    void yesNoBox_data();
    void yesNoBox();
    void okBoxShowsBreaksAndIcon();
    void saveDialogTakesAnyNameAsTyped();
    void cancelIsNothing();

  private:
    QTemporaryDir config_;
};

Q_DECLARE_METATYPE(MarginReply)

void QtPromptsTest::marginQuestion_data() {
    QTest::addColumn<QString>("pressed");  // a button's text, or a key
    QTest::addColumn<bool>("tick");
    QTest::addColumn<MarginReply>("reply");
    QTest::newRow("Return prints as it is") << "Return" << false << MarginReply{};
    QTest::newRow("Riduci, remembered")
        << "Riduci al 94 %" << true << MarginReply{MarginChoice::Reduce, true};
    QTest::newRow("Escape cancels, never remembered")
        << "Escape" << true << MarginReply{MarginChoice::Cancel, false};
}

void QtPromptsTest::marginQuestion() {
    QFETCH(QString, pressed);
    QFETCH(bool, tick);
    QFETCH(MarginReply, reply);
    QtPrompts prompts;
    bool checked = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Quarzello del Camperista"));
        QCOMPARE(box->text(), QStringLiteral("uno\ndue"));
        QCOMPARE(buttonTexts(box), QStringList({"Annulla", "Riduci al 94 %", "Stampa così"}));
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("Stampa così"));
        QCOMPARE(box->checkBox()->text(), QStringLiteral("Non chiedere più per questa stampante"));
        box->checkBox()->setChecked(tick);
        checked = true;
        if (pressed == "Return" || pressed == "Escape") {
            QTest::keyClick(box, pressed == "Return" ? Qt::Key_Return : Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == pressed) b->click();
    });
    QCOMPARE(prompts.askMargins(QStringLiteral("uno\rdue"), 94), reply);
    QVERIFY(checked);
}

void QtPromptsTest::marginChoiceIsRememberedPerPrinter() {
    const QString file = config_.filePath("quarzello/quarzello.conf");
    SettingsStore memory(file);
    QVERIFY(memory.remember(QStringLiteral("Alfa/due"), MarginChoice::Reduce).ok());
    QVERIFY(memory.remember(QStringLiteral("Alfa"), MarginChoice::PrintAsIs).ok());
    QVERIFY(memory.remember(QStringLiteral("Beta"), MarginChoice::Cancel).ok());
    QVERIFY(memory.remember(QStringLiteral("Getto/x"), MarginChoice::Reduce).ok());
    QCOMPARE(memory.recalled(QStringLiteral("Alfa/due")), MarginChoice::Reduce);
    QCOMPARE(memory.recalled(QStringLiteral("Alfa")), MarginChoice::PrintAsIs);
    QCOMPARE(memory.recalled(QStringLiteral("Beta")), std::nullopt);
    QCOMPARE(memory.recalled(QStringLiteral("alfa")), std::nullopt);
    // Names the settings would merge into Getto/x are printers of their own.
    for (const char* other : {"Getto/x/", "Getto//x", "/Getto/x", "Getto\\x", "Getto%2Fx"})
        QCOMPARE(memory.recalled(QString::fromLatin1(other)), std::nullopt);
    // A file in the settings folder's place is told.
    SettingsStore under(file + "/quarzello/quarzello.conf");
    QCOMPARE(under.remember(QStringLiteral("Gamma"), MarginChoice::Reduce).error(),
             "Non è stato possibile ricordare la scelta per la stampante \"Gamma\": la cartella " +
                 file + "/quarzello non può essere creata.");
    // Where the README says, in lines a user can delete.
    const QByteArray text = datafiles::readBytes(file);
    QVERIFY2(text.contains("[margini]\nAlfa=stampa\nAlfa\\due=riduci\n"), text.constData());
}

void QtPromptsTest::settingsFileThatCannotBeUsed_data() {
    QTest::addColumn<QByteArray>("kind");  // "fifo", "folder", or the file's bytes
    QTest::addColumn<QString>("why");      // what the warning says of it; empty: none
    QTest::addColumn<double>("across");    // of the offset read for Zeta

    QTest::newRow("a pipe would hang the reader")
        << QByteArray("fifo") << "non è un file normale" << 0.0;
    QTest::newRow("a folder") << QByteArray("folder") << "non è un file normale" << 0.0;
    QTest::newRow("over a mebibyte")
        << QByteArray("[x]\na=" + QByteArray(kMaxSettingsBytes, 'a') + "\n") << "è troppo grande"
        << 0.0;
    QTest::newRow("a byte-order mark is kept to")
        << QByteArray("\xEF\xBB\xBF[biglietti]\ncodice_qr=false\n") << QString() << 0.0;
    // Written by hand as the README shows it: the spaces are read, a bare ';' starts a comment.
    QTest::newRow("offset by hand")
        << QByteArray("[spostamento]\nZeta=1,5 -0,8\n") << QString() << 1.5;
    QTest::newRow("offset cut by a comment")
        << QByteArray("[spostamento]\nZeta=1,5;-0,8\n") << "non è valido" << 0.0;
    QTest::newRow("a 10 MB offset is not echoed")
        << QByteArray("[spostamento]\nZeta=" + QByteArray(1000000, '7') + "\n") << "7777…\")"
        << 0.0;
}

void QtPromptsTest::settingsFileThatCannotBeUsed() {
    QFETCH(QByteArray, kind);
    QFETCH(QString, why);
    QFETCH(double, across);
    QTemporaryDir folder;
    const QString file = folder.filePath("quarzello.conf");
    if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(file));
    else
        QVERIFY(datafiles::writeBytes(file, kind));
    const QByteArray before = kind.size() > 6 ? datafiles::readBytes(file) : QByteArray();
    SettingsStore store(file);
    QCOMPARE(store.offset(QStringLiteral("Zeta")).offset.across, across);
    QVERIFY(!store.qrCode());
    const Result<void> kept = store.rememberQrCode(false);
    QStringList told = store.takeWarnings();
    if (!kept) told << kept.error();
    QCOMPARE(told.isEmpty(), why.isEmpty());
    QVERIFY2(told.join(' ').contains(why), qPrintable(told.join(' ').left(300)));
    // What cannot be read is never written over; each warning is said once.
    if (!kept && !before.isEmpty()) QCOMPARE(datafiles::readBytes(file), before);
    (void)store.offset(QStringLiteral("Zeta"));
    QVERIFY(store.takeWarnings().isEmpty());
}

void QtPromptsTest::yesNoBox_data() {
    QTest::addColumn<PromptAnswer>("defaultButton");
    QTest::addColumn<int>("key");
    QTest::addColumn<PromptAnswer>("answer");
    QTest::newRow("Return takes Yes")
        << PromptAnswer::Yes << int(Qt::Key_Return) << PromptAnswer::Yes;
    QTest::newRow("Return takes No") << PromptAnswer::No << int(Qt::Key_Return) << PromptAnswer::No;
    QTest::newRow("Escape is No") << PromptAnswer::Yes << int(Qt::Key_Escape) << PromptAnswer::No;
}

void QtPromptsTest::yesNoBox() {
    QFETCH(PromptAnswer, defaultButton);
    QFETCH(int, key);
    QFETCH(PromptAnswer, answer);
    QtPrompts prompts;
    const QChar cr(13);
    const QString text = QStringLiteral("Il file:") + cr + cr + "/tmp/a.qcf" + cr + cr +
                         QStringLiteral("esiste già: sovrascrivo?");
    bool checked = false, ringed = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Quarzello del Camperista"));
        QCOMPARE(box->text(), QStringLiteral("Il file:\n\n/tmp/a.qcf\n\nesiste già: sovrascrivo?"));
        QCOMPARE(buttonTexts(box), QStringList({"No", "Sì"}));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(
            box->defaultButton(),
            box->button(defaultButton == PromptAnswer::Yes ? QMessageBox::Yes : QMessageBox::No));
        // The focused button's ring, two pixels wide a pixel out, stands out 3:1 from the box.
        QTRY_VERIFY(box->isActiveWindow() && box->focusWidget());
        const QPoint ring = box->focusWidget()->mapTo(box, QPoint(-3, 9));
        ringed = contrastRatio(box->grab().toImage().pixelColor(ring),
                               box->palette().window().color()) >= 3;
        checked = true;
        QTest::keyClick(box, Qt::Key(key));
    });
    QCOMPARE(prompts.message(
                 {kWindowTitle, text, PromptButtons::YesNo, PromptIcon::None, defaultButton}),
             answer);
    QVERIFY(checked && ringed);
}

void QtPromptsTest::okBoxShowsBreaksAndIcon() {
    QtPrompts prompts;
    bool checked = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Fine stampa"));
        QCOMPARE(box->text(), QStringLiteral("uno\n\ndue"));
        QCOMPARE(box->icon(), QMessageBox::Information);
        QCOMPARE(box->buttons().size(), 1);
        checked = true;
        box->buttons().first()->click();
    });
    QCOMPARE(prompts.message({QStringLiteral("Fine stampa"), QStringLiteral("uno\r\rdue"),
                              PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok}),
             PromptAnswer::Ok);
    QVERIFY(checked);
}

void QtPromptsTest::saveDialogTakesAnyNameAsTyped() {
    QTemporaryDir dir;
    // An existing file: the dialog itself must not ask before replacing it.
    QFile existing(dir.filePath("esistente"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    QtPrompts prompts;
    bool checked = false;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(), QStringList({"File parametri (*.qcf)"}));
        QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->defaultSuffix().isEmpty());
        // The path chosen last time is offered again.
        QCOMPARE(dialog->selectedFiles().value(0), dir.filePath("esistente"));
        // Type as a person does: once the folder has been listed.
        auto* files = dialog->findChild<QListView*>("listView");
        QVERIFY(files);
        QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 1);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        dialog->activateWindow();
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        name->selectAll();
        QTest::keyClicks(name, "senza_estensione");
        checked = true;
        QTest::keyClick(name, Qt::Key_Return);
    });
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.filter = QStringLiteral("File parametri (*.qcf)");
    request.initialPath = dir.filePath("esistente");
    const std::optional<QString> chosen = prompts.chooseFile(request);
    QVERIFY(checked);
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, dir.filePath("senza_estensione"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);  // no overwrite question of its own
}

void QtPromptsTest::cancelIsNothing() {
    QtPrompts prompts;
    QTemporaryDir start;  // a folder to start in is opened, not offered as a name
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(dialog->directory().path(), start.path());
        QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString());
        dialog->reject();
    });
    FileDialogRequest request;
    request.filter = QStringLiteral("File parametri (*.qcf)");
    request.initialPath = start.path();
    QCOMPARE(prompts.chooseFile(request), std::nullopt);
}

QTEST_MAIN(QtPromptsTest)
#include "tst_qtprompts.moc"
