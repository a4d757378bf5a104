// Start-up, Save and Load on real folders, answered by a script: every message checked to the
// character, and after every failure every file on disk checked to the byte.
#include <QtTest>

#include "data/cardfile.h"
#include "data/datalocation.h"
#include "datafiles.h"
#include "flows/cardfilecommands.h"
#include "samples.h"
#include "scriptedprompts.h"

using namespace quarzello;

using datafiles::crlf;
using datafiles::numberedLines;
using datafiles::readBytes;
using datafiles::snapshot;
using datafiles::writeBytes;

namespace {

const QChar CR(13);

// The window's part: it shows the record a command hands back.
struct ShownRecord {
    CardRecord value;
    int setCount = 0;
    void show(const std::optional<CardRecord>& record) {
        if (!record) return;
        value = *record;
        ++setCount;
    }
};

MessageRequest okBox(const QString& text, PromptIcon icon = PromptIcon::None) {
    return {QStringLiteral("Quarzello del Camperista"), text, PromptButtons::Ok, icon,
            PromptAnswer::Ok};
}

MessageRequest warning(const QString& text) { return okBox(text, PromptIcon::Warning); }

MessageRequest overwriteAsked(const QString& path) {
    return {QStringLiteral("Quarzello del Camperista"),
            QStringLiteral("Il file:") + CR + CR + path + CR + CR +
                QStringLiteral("esiste già: sovrascrivo?"),
            PromptButtons::YesNo, PromptIcon::None, PromptAnswer::Yes};
}

MessageRequest saved(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato salvato!"));
}

MessageRequest loaded(const QString& path) {
    return okBox(QStringLiteral("Il file ") + path + QStringLiteral(" è stato caricato!"));
}

FileDialogRequest dialog(FileDialogKind kind, const QString& initialPath) {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = QStringLiteral("File parametri (*.qcf)");
    request.initialPath = initialPath;
    return request;
}

QString paragraphs(const QString& first, const QString& second) { return first + CR + CR + second; }

QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

}  // namespace

class CardFileCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startupGreetsFirstThenLoadsWhatWasSaved();
    void startupFillsTheRecord_data();
    void startupFillsTheRecord();
    void startupRefusesWhatIsNotACardFile_data();
    void startupRefusesWhatIsNotACardFile();

    void saveUnderANewName();
    void saveOverAnExistingFileAnsweredYes();
    void saveAnsweredNoReopensTheDialog();
    void saveKeepsItsRecordWhenAnotherWindowSaves();
    void saveOntoTheDefaultFileItself_data();
    void saveOntoTheDefaultFileItself();
    void saveFailuresLoseNothing_data();
    void saveFailuresLoseNothing();

    void loadCopiesEveryLineToTheDefaultFile_data();
    void loadCopiesEveryLineToTheDefaultFile();
    void loadFailuresLoseNothing_data();
    void loadFailuresLoseNothing();
    void loadOfTheDefaultFileItself_data();
    void loadOfTheDefaultFileItself();
    void cancelledDialogsChangeNothing();
    void theDialogOffersTheLastChosenPath();
    void aVanishedProgramFolderIsReported();
    void aRelativeDataHomeIsIgnored();

  private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString nomeFile() const { return commands_->NomeFile(); }
    void makeCommands(const QString& programFolder);
    void startUp() { record_.show(commands_->loadAtStartup(record_.value)); }
    void save() { record_.show(commands_->save(record_.value)); }
    void load() { record_.show(commands_->load(record_.value)); }

    QString startingFolder_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString program_;
    ShownRecord record_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CardFileCommands> commands_;
};

void CardFileCommandsTest::initTestCase() { startingFolder_ = QDir::currentPath(); }

void CardFileCommandsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    program_ = path("programma");
    QVERIFY(QDir().mkdir(program_));
    // Somewhere else, so that the commands have to move into the program folder themselves.
    QVERIFY(QDir::setCurrent(dir_->path()));
    record_ = ShownRecord{};
    prompts_ = ScriptedPrompts{};
    makeCommands(program_);
}

void CardFileCommandsTest::cleanup() {
    commands_.reset();
    QDir::setCurrent(startingFolder_);
    dir_.reset();
}

void CardFileCommandsTest::makeCommands(const QString& programFolder) {
    commands_ =
        std::make_unique<CardFileCommands>(programFolder, besideProgram(programFolder), prompts_);
}

void CardFileCommandsTest::startupGreetsFirstThenLoadsWhatWasSaved() {
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

void CardFileCommandsTest::startupFillsTheRecord_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lineCount");

    QTest::newRow("13 lines") << crlf(numberedLines(13)) << 13;
    QTest::newRow("5 lines") << crlf(numberedLines(5)) << 5;
    QTest::newRow("12 lines, LF only") << numberedLines(12).join('\n') << 12;
    QTest::newRow("20 lines, CR only") << numberedLines(20).join('\r') + '\r' << 20;
    QTest::newRow("25 lines") << crlf(numberedLines(25)) << 21;
    QTest::newRow("empty") << QByteArray() << 0;
}

void CardFileCommandsTest::startupFillsTheRecord() {
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

void CardFileCommandsTest::startupRefusesWhatIsNotACardFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder")
        << "folder"
        << "Il file {file} non è un file di dati dei biglietti: è una cartella.";
    QTest::newRow("a link that loops") << "loop"
                                       << "Il file {file} non può essere letto: un collegamento "
                                          "lungo il percorso rimanda a se stesso.";
}

void CardFileCommandsTest::startupRefusesWhatIsNotACardFile() {
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

void CardFileCommandsTest::saveUnderANewName() {
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

void CardFileCommandsTest::saveOverAnExistingFileAnsweredYes() {
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

void CardFileCommandsTest::saveAnsweredNoReopensTheDialog() {
    const QString chosen = path("esistente.qcf");
    const QString other = path("nuovo.qcf");
    const QByteArray earlier = crlf(numberedLines(13));
    QVERIFY(writeBytes(chosen, earlier));
    record_.value = sampleRecord();

    // No, then Cancel: the existing file is left alone.
    prompts_.files = {chosen, std::nullopt};
    prompts_.answers = {PromptAnswer::No};
    save();
    QCOMPARE(prompts_.dialogs,
             (QList{dialog(FileDialogKind::Save, program_), dialog(FileDialogKind::Save, chosen)}));
    QCOMPARE(prompts_.messages, QList{overwriteAsked(chosen)});
    QCOMPARE(readBytes(chosen), earlier);
    QCOMPARE(readBytes(nomeFile()), encodeCardFile(sampleRecord()));

    // No, then another name: that one is written, the first still left alone.
    prompts_ = ScriptedPrompts{};
    prompts_.files = {chosen, other};
    prompts_.answers = {PromptAnswer::No};
    save();
    QCOMPARE(prompts_.dialogs,
             (QList{dialog(FileDialogKind::Save, chosen), dialog(FileDialogKind::Save, chosen)}));
    QCOMPARE(prompts_.messages, (QList{overwriteAsked(chosen), saved(other)}));
    QCOMPARE(readBytes(chosen), earlier);
    QCOMPARE(readBytes(other), encodeCardFile(sampleRecord()));
}

void CardFileCommandsTest::saveKeepsItsRecordWhenAnotherWindowSaves() {
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

void CardFileCommandsTest::saveOntoTheDefaultFileItself_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("the same path") << "same";
    QTest::newRow("a symbolic link to it") << "link";
    QTest::newRow("another spelling") << "dotdot";
}

void CardFileCommandsTest::saveOntoTheDefaultFileItself() {
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

void CardFileCommandsTest::saveFailuresLoseNothing_data() {
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

void CardFileCommandsTest::saveFailuresLoseNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QVERIFY(writeBytes(path("file"), "keep\r\n"));
    if (kind == "folder") QVERIFY(QDir().mkdir(nomeFile()));
    if (kind == "user")
        commands_ = std::make_unique<CardFileCommands>(
            program_, DataLocation{path("file/quarzello/Quarzo.qdf"), program_, true}, prompts_);
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
        kind == "chosen" ? QStringLiteral("Il salvataggio nel file %1 non è riuscito.").arg(chosen)
                         : QStringLiteral("Il salvataggio non è riuscito."));
    QCOMPARE(prompts_.messages, QList{warning(text)});
    // A default file that cannot be written stops Save before the dialog: nothing stale is
    // copied anywhere. A folder chosen is not an existing file: no overwrite question.
    QCOMPARE(prompts_.dialogs.size(), kind == "chosen" ? 1 : 0);
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileCommandsTest::loadCopiesEveryLineToTheDefaultFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("inUserFolder");  // whose folder is yet to be made
    QTest::newRow("20 lines") << crlf(numberedLines(20)) << false;
    QTest::newRow("20 lines, LF only") << numberedLines(20).join('\n') + '\n' << false;
    QTest::newRow("20 lines, last without end") << numberedLines(20).join("\r\n") << false;
    QTest::newRow("20 lines, in the user's folder") << crlf(numberedLines(20)) << true;
}

void CardFileCommandsTest::loadCopiesEveryLineToTheDefaultFile() {
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

void CardFileCommandsTest::loadFailuresLoseNothing_data() {
    QTest::addColumn<bool>("binary");   // the chosen file is binary; else the default file a folder
    QTest::addColumn<QString>("text");  // {chosen}, {default}: the two files
    // What the reader refuses is told as it is (tst_cardfile has them all); a binary file is
    // refused by Load as on the command line.
    QTest::newRow("the chosen file refused")
        << true
        << paragraphs("Il file {chosen} non è un file di dati dei biglietti: contiene dati binari.",
                      "Il caricamento non è riuscito.");
    // Read: the window shows the data read, and the user learns they will not come back.
    QTest::newRow("the default file cannot be replaced")
        << false
        << paragraphs("Il file {default} non può essere scritto: al suo posto c'è una cartella.",
                      "I dati del file {chosen} sono ora nella finestra, ma al prossimo avvio del "
                      "programma non saranno ripresi.");
}

void CardFileCommandsTest::loadFailuresLoseNothing() {
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
    QCOMPARE(record_.value.columns, binary ? sampleRecord().columns : QStringLiteral("valore 13"));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileCommandsTest::loadOfTheDefaultFileItself_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("the same path") << "same";
    QTest::newRow("a symbolic link to it") << "link";
}

void CardFileCommandsTest::loadOfTheDefaultFileItself() {
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

void CardFileCommandsTest::cancelledDialogsChangeNothing() {
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

void CardFileCommandsTest::theDialogOffersTheLastChosenPath() {
    const QString first = path("primo.qcf");
    const QString second = path("secondo.qcf");
    QVERIFY(writeBytes(second, crlf(numberedLines(13))));
    record_.value = sampleRecord();

    prompts_.files = {first, std::nullopt, second, std::nullopt};
    save();  // saves to the first
    load();  // cancelled: the first is still offered next
    load();  // loads the second
    save();  // offered the second
    QCOMPARE(prompts_.dialogs,
             (QList{dialog(FileDialogKind::Save, program_), dialog(FileDialogKind::Open, first),
                    dialog(FileDialogKind::Open, first), dialog(FileDialogKind::Save, second)}));
    QCOMPARE(prompts_.messages, (QList{saved(first), loaded(second)}));
}

void CardFileCommandsTest::aVanishedProgramFolderIsReported() {
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
    QCOMPARE(
        prompts_.messages.last().text,
        paragraphs(QStringLiteral("Il file %1 non può essere scritto: la cartella %2 non esiste.")
                       .arg(nomeFile(), program_),
                   QStringLiteral("Il salvataggio non è riuscito.")));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileCommandsTest::aRelativeDataHomeIsIgnored() {
    const QByteArray home = qgetenv("HOME"), dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(path("casa")));
    qputenv("XDG_DATA_HOME", "dati");
    const QString dataFile = inUserDataFolder().dataFile;
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", dataHome);
    QCOMPARE(dataFile, path("casa/.local/share/") + QCoreApplication::applicationName() +
                           QStringLiteral("/Quarzo.qdf"));
}

QTEST_GUILESS_MAIN(CardFileCommandsTest)
#include "tst_cardfilecommands.moc"
