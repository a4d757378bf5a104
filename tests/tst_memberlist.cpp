// The member list as a spreadsheet exports it: separators, quotes, line ends, code pages,
// columns and their names, and the limits, read from bytes into members or refused.
#include <QTest>

#include "data/memberlist.h"

using namespace quarzello;

class MemberListTest : public QObject {
    Q_OBJECT

  private slots:
    void reads_data();
    void reads();
};

namespace {

// A member as "line:" and its eleven fields, rows and columns joined by '|', the empty ones at
// the end left out.
QString summary(const Member& member) {
    QStringList values(member.record.fields.begin(), member.record.fields.end());
    values << member.record.rows << member.record.columns;
    while (!values.isEmpty() && values.constLast().isEmpty()) values.removeLast();
    return QString::number(member.line) + ':' + values.join('|');
}

const QString kRefused = "Il file elenco.csv ";

}  // namespace

void MemberListTest::reads_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("refused");
    QTest::newRow("every column, names in any case, spaces and dots")
        << QByteArray(
               "TITOLO;nome;Cog nome;Incarico.;Indirizzo;C.A.P.;Citta;Telefono;"
               "Cellulare;E-Mail;Sito;Righe;Colonne\r\n"
               "Dott.;Mario;Rossi;Socio;Via Po 1;00100;Roma;06 1;333 1;m@r.it;r.it;8;4\r\n")
        << QStringList{"2:Dott.|Mario|Rossi|Socio|Via Po 1|00100|Roma|06 1|333 1|m@r.it|r.it|8|4"}
        << QStringList{} << QString();
    QTest::newRow("commas, quotes holding a comma, a quote and a line break")
        << QByteArray("Nome,Cognome\r\n\"Rossi, Mario\",\"a \"\"b\"\"\r\nc\"\r\nUgo,Neri")
        << QStringList{"2:|Rossi, Mario|a \"b\" c", "4:|Ugo|Neri"} << QStringList{} << QString();
    QTest::newRow("tabs, LF, byte-order mark, accents in a name")
        << QByteArray("\xef\xbb\xbfNome\tCitt\xc3\xa0\nLia\tForl\xc3\xac\n")
        << QStringList{"2:|Lia|||||Forlì"} << QStringList{} << QString();
    QTest::newRow("Windows-1252") << QByteArray("Nome;Citt\xe0\r\nLia;Forl\xec\x80\r\n")
                                  << QStringList{"2:|Lia|||||Forlì€"} << QStringList{} << QString();
    QTest::newRow("missing and unknown columns, empty records skipped")
        << QByteArray("Nome;Colore;\r\n;;\r\n\r\nUgo;blu\r\n") << QStringList{"4:|Ugo"}
        << QStringList{"Attenzione: queste colonne dell'elenco elenco.csv non sono campi dei "
                       "biglietti e sono lasciate fuori: «Colore», la 3ª (senza nome)."}
        << QString();
    QTest::newRow("more fields than the first row")
        << QByteArray("Nome;Cognome\r\nUgo;Neri;;\r\nLia;Bassi;x\r\n")
        << QStringList{"2:|Ugo|Neri", "3:|Lia|Bassi"}
        << QStringList{"Attenzione: riga 3 (Lia Bassi): ha più campi di quante colonne nomina "
                       "la prima riga; quelli in più sono lasciati fuori."}
        << QString();
    QTest::newRow("a column named twice: the first counts")
        << QByteArray("Nome;nome;Cognome;NOME\r\nUgo;Lia;Neri;Eva\r\n") << QStringList{"2:|Ugo|Neri"}
        << QStringList{"Attenzione: nell'elenco elenco.csv la colonna «nome» compare due volte: "
                       "vale la prima."}
        << QString();
    QTest::newRow("separators quoted, or fewer fields, are not another separator")
        << QByteArray("Nome;Cognome\r\n\"Ugo, jr\"\r\nLia\tEva;Neri\r\n")
        << QStringList{"2:|Ugo, jr", "3:|Lia\tEva|Neri"} << QStringList{} << QString();
    QTest::newRow("a row with another separator")
        << QByteArray("Titolo;Nome;Cognome\r\nDott.;Ugo;Neri\r\n\"Dott.\",Mario,Rossi\r\n")
        << QStringList{} << QStringList{}
        << kRefused +
               "non può essere letto come elenco dei soci: la riga 3 usa «,» come separatore, "
               "la prima riga «;».";
    QTest::newRow("a row with tabs in a comma list")
        << QByteArray("Nome,Cognome\nMario\tRossi\n") << QStringList{} << QStringList{}
        << kRefused +
               "non può essere letto come elenco dei soci: la riga 2 usa la tabulazione come "
               "separatore, la prima riga «,».";
    QTest::newRow("mixed code pages")
        << QByteArray("Nome;Citt\xc3\xa0\r\nLia;Forl\xec\r\n") << QStringList{} << QStringList{}
        << kRefused +
               "mescola testo UTF-8 e testo in un'altra "
               "codifica (riga 2): dal foglio di calcolo, "
               "salvarlo di nuovo come \"CSV UTF-8\".";
    QTest::newRow("UTF-16") << QByteArray("N\0o\0m\0e\0", 8) << QStringList{} << QStringList{}
                            << kRefused +
                                   "è scritto in UTF-16, che l'elenco dei soci non usa: "
                                   "dal foglio di calcolo, salvarlo come \"CSV UTF-8\".";
    QTest::newRow("binary") << QByteArray(
                                   "\x7f"
                                   "ELF\0\x01",
                                   6)
                            << QStringList{} << QStringList{}
                            << kRefused + "non è un elenco dei soci: contiene dati binari.";
    QTest::newRow("no column names")
        << QByteArray("Mario;Rossi\r\nUgo;Neri\r\n") << QStringList{} << QStringList{}
        << kRefused +
               "non è un elenco dei soci: la prima riga deve "
               "dare i nomi delle colonne.";
    QTest::newRow("only the first row")
        << QByteArray("Nome;Cognome\r\n;\r\n") << QStringList{} << QStringList{}
        << kRefused + "non ha soci da stampare: nessun socio nell'elenco.";
    QTest::newRow("a quote never closed")
        << QByteArray("Nome\r\nUgo\r\n\"Lia\r\nNeri\r\n") << QStringList{} << QStringList{}
        << kRefused +
               "non può essere letto come elenco dei soci: le virgolette aperte alla "
               "riga 3 non sono mai chiuse.";
    QTest::newRow("too many members")
        << "Nome\n" + QByteArray("x\n").repeated(kMaxMembers + 1) << QStringList{} << QStringList{}
        << "L'elenco elenco.csv ha più di 5000 soci: se ne possono stampare al massimo 5000 in "
           "una volta.";
}

void MemberListTest::reads() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, members);
    QFETCH(QStringList, warnings);
    QFETCH(QString, refused);
    const Result<MemberList> list = parseMemberList(bytes, "elenco.csv");
    QCOMPARE(list.error(), refused);
    if (!list) return;
    QStringList read;
    for (const Member& member : list->members) read << summary(member);
    QCOMPARE(read, members);
    QCOMPARE(list->warnings, warnings);
}

QTEST_GUILESS_MAIN(MemberListTest)
#include "tst_memberlist.moc"
