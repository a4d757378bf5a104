// Start-up on real folders, answered by a script: the first run's greeting, the record filled
// from the default data file, what is refused, and the user's data folder; every message checked
// to the character, and after every failure every file on disk checked to the byte.
#include <QtTest>

#include "cardfilecommandsfixture.h"
#include "data/cardfile.h"
#include "samples.h"

using namespace quarzello;

namespace {

const QChar CR(13);

}  // namespace

class StartupTest : public CardFileCommandsFixture {
    Q_OBJECT

  private slots:
    void startupGreetsFirstThenLoadsWhatWasSaved() {
        QCOMPARE(nomeFile(), program_ + QStringLiteral("/Quarzo.qdf"));
        startUp();
        const QString greeting =
            QStringLiteral("Benvenuto nel programma Quarzello del Camperista!") + CR + CR +
            QStringLiteral(
                "Non è stato trovato il file dei dati personali (Quarzo.qdf): probabilmente "
                "è il primo avvio del programma.") +
            CR + CR +
            QStringLiteral(
                "Immettere i dati personali e salvarli con il pulsante Salva: saranno "
                "ricaricati automaticamente al prossimo avvio.");
        QCOMPARE(prompts_.texts(), QStringList{greeting});
        QCOMPARE(prompts_.messages, QList{okBox(greeting, PromptIcon::Information)});
        QCOMPARE(record_.value, CardRecord{});
        QCOMPARE(record_.setCount, 0);
        QCOMPARE(QDir(program_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});

        // The user types the data and saves, cancelling the dialog: the default file holds them.
        record_.value = sampleRecord();
        save();
        QCOMPARE(prompts_.dialogs, QList{dialog(FileDialogKind::Save, program_)});
        QCOMPARE(prompts_.messages.size(), 1);
        QCOMPARE(readBytes(nomeFile()), encodeCardFile(sampleRecord()));

        // The next run: a fresh window, no greeting, the saved data.
        ScriptedPrompts nextPrompts;
        CardFileCommands nextRun(program_, besideProgram(program_), nextPrompts);
        const std::optional<CardRecord> shown = nextRun.loadAtStartup(CardRecord{});
        QCOMPARE(nextPrompts.messages, QList<MessageRequest>{});
        QCOMPARE(shown, std::optional(sampleRecord()));
    }
    void startupFillsTheRecord_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("lineCount");

        QTest::newRow("13 lines") << crlf(numberedLines(13)) << 13;
        QTest::newRow("5 lines") << crlf(numberedLines(5)) << 5;
        QTest::newRow("12 lines, LF only") << numberedLines(12).join('\n') << 12;
        QTest::newRow("20 lines, CR only") << numberedLines(20).join('\r') + '\r' << 20;
        QTest::newRow("25 lines") << crlf(numberedLines(25)) << 21;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void startupFillsTheRecord() {
        QFETCH(QByteArray, content);
        QFETCH(int, lineCount);
        QVERIFY(writeBytes(nomeFile(), content));
        record_.value.rows = QStringLiteral("7");
        record_.value.columns = QStringLiteral("3");
        for (QString& field : record_.value.fields) field = QStringLiteral("digitato");

        startUp();
        QCOMPARE(prompts_.messages, QList<MessageRequest>{});

        // Fields come from the file alone; the grid keeps what the file does not reach.
        for (int i = 0; i < kFieldCount; ++i)
            QCOMPARE(record_.value.fields[i],
                     i < lineCount ? QStringLiteral("valore %1").arg(i + 1) : QString());
        QCOMPARE(record_.value.rows,
                 lineCount > 11 ? QStringLiteral("valore 12") : QStringLiteral("7"));
        QCOMPARE(record_.value.columns,
                 lineCount > 12 ? QStringLiteral("valore 13") : QStringLiteral("3"));
        QCOMPARE(readBytes(nomeFile()), content);
    }
    void startupRefusesWhatIsNotACardFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder")
            << "folder"
            << "Il file {file} non è un file di dati dei biglietti: è una cartella.";
        QTest::newRow("a link that loops")
            << "loop"
            << "Il file {file} non può essere letto: un collegamento "
               "lungo il percorso rimanda a se stesso.";
    }
    void startupRefusesWhatIsNotACardFile() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == "folder") QVERIFY(QDir().mkdir(nomeFile()));
        if (kind == "loop") QVERIFY(QFile::link(nomeFile(), nomeFile()));
        record_.value = sampleRecord();
        const auto before = snapshot(dir_->path());

        startUp();
        const QString text = paragraphs(reason.replace("{file}", nomeFile()),
                                        QStringLiteral("I dati della finestra non sono cambiati."));
        QCOMPARE(prompts_.texts(), QStringList{text});
        QCOMPARE(prompts_.messages, QList{warning(text)});
        QCOMPARE(record_.value, sampleRecord());
        QCOMPARE(record_.setCount, 0);
        QCOMPARE(snapshot(dir_->path()), before);
    }
    void aRelativeDataHomeIsIgnored() {
        const QByteArray home = qgetenv("HOME"), dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", QFile::encodeName(path("casa")));
        qputenv("XDG_DATA_HOME", "dati");
        const QString dataFile = inUserDataFolder().dataFile;
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(dataFile, path("casa/.local/share/") + QCoreApplication::applicationName() +
                               QStringLiteral("/Quarzo.qdf"));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
