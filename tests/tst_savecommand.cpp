// Save on real folders, answered by a script: a new name, an existing file, the default file
// itself, another window saving meanwhile, and every failure; every message checked to the
// character, and after every failure every file on disk checked to the byte.
#include <QtTest>

#include "cardfilecommandsfixture.h"
#include "data/cardfile.h"
#include "samples.h"

using namespace quarzello;

class SaveCommandTest : public CardFileCommandsFixture {
    Q_OBJECT

  private slots:
    void saveUnderANewName() {
        // No extension typed: the one the dialog offers is added. One character the code page
        // cannot hold.
        const QString chosen = path("biglietti.qcf");
        record_.value = sampleRecord();
        record_.value.fields[Role] = QStringLiteral("Ōkubo");
        prompts_.files = {path("biglietti")};

        save();
        QCOMPARE(prompts_.dialogs, QList{dialog(FileDialogKind::Save, program_)});
        QCOMPARE(prompts_.texts(), QStringList{saved(chosen).text});
        QCOMPARE(prompts_.messages, QList{saved(chosen)});
        QVERIFY(!QFileInfo::exists(path("biglietti")));

        CardRecord stored = sampleRecord();
        stored.fields[Role] = QStringLiteral("?kubo");
        QCOMPARE(readBytes(chosen), encodeCardFile(stored));
        QCOMPARE(readBytes(nomeFile()), encodeCardFile(stored));
        // The window is filled again from the file, so it shows what was really stored.
        QCOMPARE(record_.value, stored);
        QCOMPARE(canonical(QDir::currentPath()), canonical(program_));
    }
    void saveOverAnExistingFileAnsweredYes() {
        const QString chosen = path("esistente.qcf");
        QVERIFY(writeBytes(chosen, crlf(numberedLines(20))));
        record_.value = sampleRecord();
        prompts_.files = {chosen};
        prompts_.answers = {PromptAnswer::Yes};

        save();
        QCOMPARE(prompts_.texts(), (QStringList{overwriteAsked(chosen).text, saved(chosen).text}));
        QCOMPARE(prompts_.messages, (QList{overwriteAsked(chosen), saved(chosen)}));
        QCOMPARE(readBytes(chosen), encodeCardFile(sampleRecord()));
    }
    void saveAnsweredNoReopensTheDialog() {
        const QString chosen = path("esistente.qcf");
        const QString other = path("nuovo.qcf");
        const QByteArray earlier = crlf(numberedLines(13));
        QVERIFY(writeBytes(chosen, earlier));
        record_.value = sampleRecord();

        // No, then Cancel: the existing file is left alone.
        prompts_.files = {chosen, std::nullopt};
        prompts_.answers = {PromptAnswer::No};
        save();
        QCOMPARE(prompts_.dialogs, (QList{dialog(FileDialogKind::Save, program_),
                                          dialog(FileDialogKind::Save, chosen)}));
        QCOMPARE(prompts_.messages, QList{overwriteAsked(chosen)});
        QCOMPARE(readBytes(chosen), earlier);
        QCOMPARE(readBytes(nomeFile()), encodeCardFile(sampleRecord()));

        // No, then another name: that one is written, the first still left alone.
        prompts_ = ScriptedPrompts{};
        prompts_.files = {chosen, other};
        prompts_.answers = {PromptAnswer::No};
        save();
        QCOMPARE(prompts_.dialogs, (QList{dialog(FileDialogKind::Save, chosen),
                                          dialog(FileDialogKind::Save, chosen)}));
        QCOMPARE(prompts_.messages, (QList{overwriteAsked(chosen), saved(other)}));
        QCOMPARE(readBytes(chosen), earlier);
        QCOMPARE(readBytes(other), encodeCardFile(sampleRecord()));
    }
    void saveKeepsItsRecordWhenAnotherWindowSaves() {
        // Two windows of the program on one folder: this one saves "Bianchi"; while its dialog is
        // open the other saves "Neri" (through the same default data file) to its own file.
        record_.value.fields[Surname] = QStringLiteral("Bianchi");
        ScriptedPrompts otherPrompts;
        otherPrompts.files = {path("A.qcf")};
        CardFileCommands other(program_, decideDataLocation(program_), otherPrompts);
        CardRecord neri;
        neri.fields[Surname] = QStringLiteral("Neri");
        prompts_.onDialog = [&](const FileDialogRequest&) { QVERIFY(other.save(neri)); };
        prompts_.files = {path("B.qcf")};

        save();
        QCOMPARE(prompts_.messages, QList{saved(path("B.qcf"))});
        QCOMPARE(readBytes(path("B.qcf")), encodeCardFile(record_.value));
        QCOMPARE(record_.value.fields[Surname], QStringLiteral("Bianchi"));
        QCOMPARE(readBytes(path("A.qcf")), encodeCardFile(neri));
    }
    void saveOntoTheDefaultFileItself_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("the same path") << "same";
        QTest::newRow("a symbolic link to it") << "link";
        QTest::newRow("another spelling") << "dotdot";
    }
    void saveOntoTheDefaultFileItself() {
        QFETCH(QString, kind);
        QVERIFY(writeBytes(nomeFile(), crlf(numberedLines(13))));
        QString chosen = nomeFile();
        if (kind == "link") {
            chosen = path("collegamento.qcf");
            QVERIFY(QFile::link(nomeFile(), chosen));
        }
        if (kind == "dotdot") chosen = program_ + QStringLiteral("/../programma/Quarzo.qdf");
        record_.value = sampleRecord();
        prompts_.files = {chosen};
        prompts_.answers = {PromptAnswer::Yes};

        save();
        QCOMPARE(prompts_.messages, (QList{overwriteAsked(chosen), saved(chosen)}));
        QCOMPARE(readBytes(nomeFile()), encodeCardFile(sampleRecord()));
        QCOMPARE(record_.value, sampleRecord());
        if (kind == "link") QVERIFY(QFileInfo(chosen).isSymLink());
    }
    void saveFailuresLoseNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");  // {file}: the file that could not be written
        QTest::newRow("the default file: a folder in its place")
            << "folder"
            << "Il file {file} non può essere scritto: al suo posto c'è una cartella.";
        QTest::newRow("the default file: user's data folder under a regular file")
            << "user"
            << "Il file {file} non può essere scritto: la cartella {dir}/file/quarzello "
               "non può essere creata perché {dir}/file non è una cartella.";
        QTest::newRow("the chosen file: a folder")
            << "chosen"
            << "Il file {file} non può essere scritto: al suo posto c'è una cartella.";
    }
    void saveFailuresLoseNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QVERIFY(writeBytes(path("file"), "keep\r\n"));
        if (kind == "folder") QVERIFY(QDir().mkdir(nomeFile()));
        if (kind == "user")
            commands_ = std::make_unique<CardFileCommands>(
                program_, DataLocation{path("file/quarzello/Quarzo.qdf"), program_, true},
                prompts_);
        record_.value = sampleRecord();
        QVERIFY(writeBytes(path("vecchio.qcf"), "old\r\n"));
        QVERIFY(QDir().mkdir(path("cartella.qcf")));
        const QString chosen = kind == "chosen" ? path("cartella.qcf") : path("vecchio.qcf");
        // The default file already holds the record, so a sound Save leaves every byte as it is.
        if (kind == "chosen") QVERIFY(writeBytes(nomeFile(), encodeCardFile(record_.value)));
        prompts_.files = {chosen};
        prompts_.answers = {PromptAnswer::Yes};
        const auto before = snapshot(dir_->path());

        save();
        const QString text = paragraphs(
            reason.replace("{file}", kind == "chosen" ? chosen : nomeFile())
                .replace("{dir}", dir_->path()),
            kind == "chosen"
                ? QStringLiteral("Il salvataggio nel file %1 non è riuscito.").arg(chosen)
                : QStringLiteral("Il salvataggio non è riuscito."));
        QCOMPARE(prompts_.messages, QList{warning(text)});
        // A default file that cannot be written stops Save before the dialog: nothing stale is
        // copied anywhere. A folder chosen is not an existing file: no overwrite question.
        QCOMPARE(prompts_.dialogs.size(), kind == "chosen" ? 1 : 0);
        QCOMPARE(snapshot(dir_->path()), before);
    }
};

QTEST_GUILESS_MAIN(SaveCommandTest)
#include "tst_savecommand.moc"
