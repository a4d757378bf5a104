// Load on real folders, answered by a script: every line copied to the default data file, the
// default file itself, cancelled dialogs, the path offered next, a program folder that vanished,
// and every failure; every message checked to the character, and after every failure every file
// on disk checked to the byte.
#include <QtTest>

#include "cardfilecommandsfixture.h"
#include "data/cardfile.h"
#include "samples.h"

using namespace quarzello;

class LoadCommandTest : public CardFileCommandsFixture {
    Q_OBJECT

  private slots:
    void loadCopiesEveryLineToTheDefaultFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("inUserFolder");  // whose folder is yet to be made
        QTest::newRow("20 lines") << crlf(numberedLines(20)) << false;
        QTest::newRow("20 lines, LF only") << numberedLines(20).join('\n') + '\n' << false;
        QTest::newRow("20 lines, last without end") << numberedLines(20).join("\r\n") << false;
        QTest::newRow("20 lines, in the user's folder") << crlf(numberedLines(20)) << true;
    }
    void loadCopiesEveryLineToTheDefaultFile() {
        QFETCH(QByteArray, content);
        QFETCH(bool, inUserFolder);
        const QString chosen = path("venti.qcf");
        const QString start = inUserFolder ? path("Documenti") : program_;
        QVERIFY(writeBytes(chosen, content));
        if (inUserFolder)
            commands_ = std::make_unique<CardFileCommands>(
                program_, DataLocation{path("utente/quarzello/Quarzo.qdf"), start, true}, prompts_);
        else
            QVERIFY(writeBytes(nomeFile(), encodeCardFile(sampleRecord())));
        record_.value = sampleRecord();
        prompts_.files = {chosen};

        load();
        QCOMPARE(prompts_.dialogs, QList{dialog(FileDialogKind::Open, start)});
        QCOMPARE(prompts_.texts(), QStringList{loaded(chosen).text});
        QCOMPARE(prompts_.messages, QList{loaded(chosen)});
        QCOMPARE(readBytes(nomeFile()), crlf(numberedLines(20)));
        QCOMPARE(readBytes(chosen), content);
        for (int i = 0; i < kFieldCount; ++i)
            QCOMPARE(record_.value.fields[i], QStringLiteral("valore %1").arg(i + 1));
        QCOMPARE(record_.value.rows, QStringLiteral("valore 12"));
        QCOMPARE(record_.value.columns, QStringLiteral("valore 13"));
        QCOMPARE(canonical(QDir::currentPath()), canonical(program_));
    }
    void loadFailuresLoseNothing_data() {
        QTest::addColumn<bool>(
            "binary");  // the chosen file is binary; else the default file a folder
        QTest::addColumn<QString>("text");  // {chosen}, {default}: the two files
        // What the reader refuses is told as it is (tst_cardfile has them all); a binary file is
        // refused by Load as on the command line.
        QTest::newRow("the chosen file refused")
            << true
            << paragraphs(
                   "Il file {chosen} non è un file di dati dei biglietti: contiene dati binari.",
                   "Il caricamento non è riuscito.");
        // Read: the window shows the data read, and the user learns they will not come back.
        QTest::newRow("the default file cannot be replaced")
            << false
            << paragraphs(
                   "Il file {default} non può essere scritto: al suo posto c'è una cartella.",
                   "I dati del file {chosen} sono ora nella finestra, ma al prossimo avvio del "
                   "programma non saranno ripresi.");
    }
    void loadFailuresLoseNothing() {
        QFETCH(bool, binary);
        QFETCH(QString, text);
        const QString chosen = path("scelto.qcf");
        QVERIFY(writeBytes(chosen, binary ? QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0\r\n", 13)
                                          : crlf(numberedLines(13))));
        if (binary)
            QVERIFY(writeBytes(nomeFile(), encodeCardFile(sampleRecord())));
        else
            QVERIFY(QDir().mkdir(nomeFile()));
        record_.value = sampleRecord();
        prompts_.files = {chosen};
        const auto before = snapshot(dir_->path());

        load();
        QCOMPARE(prompts_.messages,
                 QList{warning(text.replace("{chosen}", chosen).replace("{default}", nomeFile()))});
        QCOMPARE(record_.setCount, binary ? 0 : 1);
        QCOMPARE(record_.value.columns,
                 binary ? sampleRecord().columns : QStringLiteral("valore 13"));
        QCOMPARE(snapshot(dir_->path()), before);
    }
    void loadOfTheDefaultFileItself_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("the same path") << "same";
        QTest::newRow("a symbolic link to it") << "link";
    }
    void loadOfTheDefaultFileItself() {
        QFETCH(QString, kind);
        const QByteArray content = numberedLines(13).join('\n');
        QVERIFY(writeBytes(nomeFile(), content));
        QString chosen = nomeFile();
        if (kind == "link") {
            chosen = path("collegamento.qcf");
            QVERIFY(QFile::link(nomeFile(), chosen));
        }
        prompts_.files = {chosen};

        load();
        QCOMPARE(prompts_.messages, QList{loaded(chosen)});
        // Nothing to copy: the file stays exactly as it was, and fills the window.
        QCOMPARE(readBytes(nomeFile()), content);
        QCOMPARE(record_.value.fields[Title], QStringLiteral("valore 1"));
        QCOMPARE(record_.value.columns, QStringLiteral("valore 13"));
    }
    void cancelledDialogsChangeNothing() {
        QVERIFY(writeBytes(nomeFile(), crlf(numberedLines(13))));
        record_.value = sampleRecord();
        const auto before = snapshot(dir_->path());

        load();
        QCOMPARE(prompts_.dialogs, QList{dialog(FileDialogKind::Open, program_)});
        QCOMPARE(prompts_.messages, QList<MessageRequest>{});
        QCOMPARE(record_.setCount, 0);
        QCOMPARE(snapshot(dir_->path()), before);

        // Save cancelled: only the default file has been written, and nothing chosen is offered.
        save();
        QCOMPARE(prompts_.dialogs, (QList{dialog(FileDialogKind::Open, program_),
                                          dialog(FileDialogKind::Save, program_)}));
        QCOMPARE(prompts_.messages, QList<MessageRequest>{});
        QCOMPARE(readBytes(nomeFile()), encodeCardFile(sampleRecord()));
    }
    void theDialogOffersTheLastChosenPath() {
        const QString first = path("primo.qcf");
        const QString second = path("secondo.qcf");
        QVERIFY(writeBytes(second, crlf(numberedLines(13))));
        record_.value = sampleRecord();

        prompts_.files = {first, std::nullopt, second, std::nullopt};
        save();  // saves to the first
        load();  // cancelled: the first is still offered next
        load();  // loads the second
        save();  // offered the second
        QCOMPARE(
            prompts_.dialogs,
            (QList{dialog(FileDialogKind::Save, program_), dialog(FileDialogKind::Open, first),
                   dialog(FileDialogKind::Open, first), dialog(FileDialogKind::Save, second)}));
        QCOMPARE(prompts_.messages, (QList{saved(first), loaded(second)}));
    }
    void aVanishedProgramFolderIsReported() {
        const QString chosen = path("tredici.qcf");
        QVERIFY(writeBytes(chosen, crlf(numberedLines(13))));
        QVERIFY(QDir(program_).removeRecursively());
        record_.value = sampleRecord();
        prompts_.files = {chosen, chosen};
        const auto before = snapshot(dir_->path());

        load();
        const QString text = paragraphs(QStringLiteral("La cartella del programma %1 non è "
                                                       "raggiungibile: forse è stata spostata o "
                                                       "cancellata.")
                                            .arg(program_),
                                        QStringLiteral("Il caricamento non è riuscito."));
        QCOMPARE(prompts_.messages, QList{warning(text)});
        QCOMPARE(record_.setCount, 0);

        save();
        QCOMPARE(prompts_.messages.size(), 2);
        QCOMPARE(prompts_.messages.last().text,
                 paragraphs(
                     QStringLiteral("Il file %1 non può essere scritto: la cartella %2 non esiste.")
                         .arg(nomeFile(), program_),
                     QStringLiteral("Il salvataggio non è riuscito.")));
        QCOMPARE(snapshot(dir_->path()), before);
    }
};

QTEST_GUILESS_MAIN(LoadCommandTest)
#include "tst_loadcommand.moc"
