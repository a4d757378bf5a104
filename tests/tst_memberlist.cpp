// The member list as a spreadsheet exports it: separators, quotes, line ends, code pages,
// columns and their names, and the limits, read from bytes into members or refused.
#include <QTest>

#include "data/memberlist.h"
#include "print/vcard.h"

using namespace quarzello;

class MemberListTest : public QObject {
    Q_OBJECT

  private slots:
    void reads_data();
    void reads();
    void readsVCards_data();
    void readsVCards() { reads(); }
    void ownVCardsReadBack();
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
const QString kLeftOut = "Attenzione: nell'elenco elenco.csv il contatto della riga ";

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

void MemberListTest::readsVCards_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("refused");
    QTest::newRow("3.0: every field, work address and telephone first, escapes, folding")
        << QByteArray("begin:vcard\r\nVERSION:3.0\r\nN:Rossi;Mario;Luigi;Dott.;\r\n"
                      "FN:x\r\nROLE:Socio\r\nTITLE:Segretario\\, cassiere\r\n"
                      "ADR;TYPE=HOME:;;Via Casa 1;Pisa;;56100;\r\n"
                      "item1.ADR;TYPE=WORK,PREF:;;Via Po\\; 2;Ro\r\n ma;;00100;IT\r\n"
                      "TEL;TYPE=FAX,WORK:06 9\r\nTEL;TYPE=HOME:06 2\r\nTEL;TYPE=WORK:06 1\r\n"
                      "TEL;TYPE=CELL:333 1\r\nEMAIL:m@r.it\r\nEMAIL:n@r.it\r\n"
                      "URL:r.it\r\nNOTE:a\\nb\r\nX-FOO:1\r\nEND:VCARD\r\n")
        << QStringList{"1:Dott.|Mario Luigi|Rossi|Segretario, cassiere|Via Po; 2|00100|Roma|06 "
                       "1|333 1|m@r.it|r.it"}
        << QStringList{} << QString();
    QTest::newRow("2.1: quoted-printable with a soft break, charsets, three contacts")
        << QByteArray(
               "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:For=\n"
               "l=C3=AC;Lia\nTEL;HOME;VOICE:05 1\nEND:VCARD\n"
               "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=WINDOWS-1252;QUOTED-PRINTABLE:Citt=E0;"
               "Ugo\nADR;QUOTED-PRINTABLE:;;Via=0D=0AUno;Bra\nEND:VCARD\n"
               "BEGIN:VCARD\nVERSION:2.1\nFN:Anna Maria Bassi\nPHOTO;ENCODING=BASE64;JPEG:"
               "/9j/\n  AAAA\n\nTEL;PREF:07 1\nEND:VCARD\n")
        << QStringList{"1:|Lia|Forlì|||||05 1", "7:|Ugo|Città||Via Uno||Bra",
                       "12:|Anna Maria|Bassi|||||07 1"}
        << QStringList{} << QString();
    QTest::newRow("4.0: byte-order mark, quoted types, a telephone as a uri; Windows-1252")
        << QByteArray(
               "\xef\xbb\xbf"
               "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Eva Neri\r\nN:Neri;Eva;;;\r\n"
               "TEL;VALUE=uri;TYPE=\"cell,voice\":tel:+39-333\r\n"
               "TEL;VALUE=uri:tel:+39-06\r\nADR:;;Corso \xe8;Ivrea;;10015\r\nEND:VCARD\r\n")
        << QStringList{"1:|Eva|Neri||Corso è|10015|Ivrea|+39-06|+39-333"} << QStringList{}
        << QString();
    QTest::newRow("each bad contact left out, the others kept; a huge photo read past")
        << QByteArray("testo\r\naltro\r\nBEGIN:VCARD\r\nN:A;B\r\nBEGIN:VCARD\r\nN:C;D\r\n"
                      "senza due punti\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\n"
                      "N;QUOTED-PRINTABLE:=ZZ\r\nEND:VCARD\r\nBEGIN:VCARD\r\n"
                      "N;CHARSET=KOI8-R:x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nNOTE:nulla\r\n"
                      "END:VCARD\r\nBEGIN:VCARD\r\nN:E;F\r\nPHOTO;ENCODING=b:" +
                      QByteArray(1 << 20, 'Q') + "\r\n " + QByteArray(1 << 20, 'Q') +
                      "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:G;H\r\n")
        << QStringList{"19:|F|E"}
        << QStringList{"Attenzione: nell'elenco elenco.csv la riga 1 non fa parte di nessun "
                       "contatto ed è lasciata fuori.",
                       kLeftOut + "3 è lasciato fuori: alla riga 5 comincia un altro contatto "
                                  "prima del suo END:VCARD.",
                       kLeftOut + "5 è lasciato fuori: la riga 7 non è una proprietà di un "
                                  "contatto (non ha i due punti).",
                       kLeftOut + "9 è lasciato fuori: alla riga 11 il testo quoted-printable "
                                  "non è valido.",
                       kLeftOut + "13 è lasciato fuori: alla riga 14 la codifica «KOI8-R» non "
                                  "è conosciuta.",
                       kLeftOut + "16 è lasciato fuori: non ha nessun campo per il biglietto.",
                       kLeftOut + "24 è lasciato fuori: non finisce con END:VCARD."}
        << QString();
    QTest::newRow("no contact to print")
        << QByteArray("BEGIN:VCARD\nN:;;;;\nEND:VCARD\n") << QStringList{} << QStringList{}
        << kRefused + "non ha soci da stampare: nessun contatto che si possa stampare.";
    QTest::newRow("too many contacts")
        << QByteArray("BEGIN:VCARD\nFN:x\nEND:VCARD\n").repeated(kMaxMembers + 1) << QStringList{}
        << QStringList{}
        << "L'elenco elenco.csv ha più di 5000 contatti: se ne possono stampare al massimo 5000 "
           "in una volta.";
}

// The vCards of the cards' QR codes, one per member of a list, give back the list's fields.
void MemberListTest::ownVCardsReadBack() {
    const Result<MemberList> list = parseMemberList(
        "Titolo;Nome;Cognome;Incarico;Indirizzo;CAP;Città;Telefono;Cellulare;E-mail;Sito\n"
        "Dott.;Mario Luigi;Rossi;\"Socio, cassiere\";\"Via Po; 1\\2\";00100;Roma;06 1;333 "
        "1;m@r.it;r.it\n"
        ";Lia;;;;;Forlì;;;;\n;;Neri;;;;;;;;\n",
        "elenco.csv");
    QVERIFY(list);
    QByteArray vcards;
    for (const Member& member : list->members) vcards += cardVCard(member.record).toUtf8();
    const Result<MemberList> back = parseMemberList(vcards, "contatti.vcf");
    QVERIFY(back);
    QCOMPARE(back->members.size(), list->members.size());
    for (std::size_t i = 0; i < back->members.size(); ++i)
        QCOMPARE(back->members[i].record.fields, list->members[i].record.fields);
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
