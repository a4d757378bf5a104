// The card's lines composed from the fields: slots, first slot and line count, prefixes,
// lower-casing, address lists, the name split at 40 mm, and the style of each slot.
#include <QTest>

#include "print/cardcontent.h"
#include "print/vcard.h"
#include "recordingsurface.h"

using namespace quarzello;

namespace {

using Fields = QMap<int, QString>;

CardRecord recordOf(const Fields& fields) {
    CardRecord record;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) record.fields[it.key()] = it.value();
    return record;
}

// n characters: on the recording surface, n mm at 12 points.
QString wide(int n, QChar c) { return QString(n, c); }

QStringList slotsOf(const DatiBuffer& Dati) {
    QStringList list;
    for (int i = 0; i <= kLastCardSlot; ++i) list << Dati[i];
    return list;
}

// The eleven slots, from a sparse description.
QStringList expected(const QMap<int, QString>& filled) {
    QStringList list(kLastCardSlot + 1);
    for (auto it = filled.cbegin(); it != filled.cend(); ++it) list[it.key()] = it.value();
    return list;
}

}  // namespace

class CardContentTest : public QObject {
    Q_OBJECT

  private slots:
    void vCardOfTheRecord_data();
    void vCardOfTheRecord();
    void composesSlots_data();
    void composesSlots();
    void emptiesTheWholeBuffer();
    void measuresTheNameInAFixedFont();
    void sizesByRows_data();
    void sizesByRows();
    void weightAndSlantBySlot_data();
    void weightAndSlantBySlot();
};

void CardContentTest::composesSlots_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("F");
    QTest::addColumn<int>("n");

    const QString name19 = wide(19, u'n');
    const QString surname20 = wide(20, u's');

    QTest::newRow("all empty") << Fields{} << expected({}) << 1 << 1;
    QTest::newRow("short name on one line")
        << Fields{{Title, "Dott."}, {FirstName, "Mario"}, {Surname, "Rossi"}}
        << expected({{1, "Dott. Mario Rossi"}}) << 1 << 1;
    QTest::newRow("name of exactly 40 mm is not split")
        << Fields{{FirstName, name19}, {Surname, surname20}}
        << expected({{1, name19 + " " + surname20}}) << 1 << 1;
    QTest::newRow("name of 41 mm is split")
        << Fields{{Title, "Dott."}, {FirstName, wide(14, u'n')}, {Surname, surname20}}
        << expected({{0, "Dott. " + wide(14, u'n')}, {1, surname20}}) << 0 << 2;
    QTest::newRow("split name keeps only the surname below")
        << Fields{{FirstName, wide(21, u'n')}, {Surname, surname20}, {Role, "Presidente"}}
        << expected({{0, wide(21, u'n')}, {1, surname20}, {2, "Presidente"}}) << 0 << 3;
    QTest::newRow("no title") << Fields{{FirstName, "Mario"}, {Surname, "Rossi"}}
                              << expected({{1, "Mario Rossi"}}) << 1 << 1;
    QTest::newRow("no first name keeps two spaces") << Fields{{Title, "Dott."}, {Surname, "Rossi"}}
                                                    << expected({{1, "Dott.  Rossi"}}) << 1 << 1;
    QTest::newRow("spaces inside the name stay")
        << Fields{{Title, "  Dott. "}, {FirstName, "Mario "}, {Surname, " Rossi  "}}
        << expected({{1, "Dott.  Mario   Rossi"}}) << 1 << 1;
    QTest::newRow("full record") << Fields{{Title, "Rag."},
                                           {FirstName, "Anna"},
                                           {Surname, "Bianchi"},
                                           {Role, " Segretaria "},
                                           {Street, "Via Po 3 "},
                                           {Postcode, "10100"},
                                           {Town, "Torino (TO)"},
                                           {Landline, " 011 123456 "},
                                           {Mobile, "+39 333 1"},
                                           {Email, " Anna.Bianchi@Esempio.IT "},
                                           {Website, "WWW.Esempio.IT"}}
                                 << expected({{1, "Rag. Anna Bianchi"},
                                              {2, "Segretaria"},
                                              {3, "Via Po 3"},
                                              {4, "10100 Torino (TO)"},
                                              {5, "Tel.: 011 123456"},
                                              {6, "Cell.: +39 333 1"},
                                              {7, "e-mail: anna.bianchi@esempio.it"},
                                              {8, "Internet: www.esempio.it"}})
                                 << 1 << 8;
    QTest::newRow("postcode without town")
        << Fields{{Postcode, "00100"}} << expected({{4, "00100"}}) << 1 << 1;
    QTest::newRow("town without postcode")
        << Fields{{Town, "Roma"}} << expected({{4, "Roma"}}) << 1 << 1;
    QTest::newRow("blank telephone gives no line")
        << Fields{{Landline, "   "}, {Mobile, " 333 "}} << expected({{6, "Cell.: 333"}}) << 1 << 1;
    QTest::newRow("three e-mail addresses print the first and the last")
        << Fields{{Email, "a@x.it;b@y.it;c@z.it"}, {Website, "www.sito.it"}}
        << expected({{7, "e-mail: a@x.it"}, {8, "c@z.it"}, {9, "Internet: www.sito.it"}}) << 1 << 3;
    QTest::newRow("trailing ; leaves slot 8 empty")
        << Fields{{Email, "a@x.it;"}, {Website, "www.sito.it"}}
        << expected({{7, "e-mail: a@x.it"}, {9, "Internet: www.sito.it"}}) << 1 << 2;
    QTest::newRow("web without e-mail goes to slot 8")
        << Fields{{Website, " WWW.Sito.IT "}} << expected({{8, "Internet: www.sito.it"}}) << 1 << 1;
    QTest::newRow("web list without e-mail")
        << Fields{{Website, "www.a.it;www.b.it"}}
        << expected({{8, "Internet: www.a.it"}, {9, "www.b.it"}}) << 1 << 2;
    QTest::newRow("both lists")
        << Fields{{Email, "A@X.it ; b@y.it"}, {Website, "www.a.it;  WWW.B.it "}}
        << expected(
               {{7, "e-mail: a@x.it "}, {8, "b@y.it"}, {9, "Internet: www.a.it"}, {10, "www.b.it"}})
        << 1 << 4;
}

void CardContentTest::vCardOfTheRecord_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("lines");  // without BEGIN, VERSION and END
    QTest::newRow("all fields") << Fields{{Title, " Dott. "},      {FirstName, "Ugo"},
                                          {Surname, "Neri"},       {Role, "Socio"},
                                          {Street, "Via Po 1"},    {Postcode, "10100"},
                                          {Town, "Torino"},        {Landline, "011 123"},
                                          {Mobile, "+39 333 1"},   {Email, "Ugo@Neri.it"},
                                          {Website, "www.Neri.it"}}
                                << QStringList{"N:Neri;Ugo;;Dott.;",
                                               "FN:Dott. Ugo Neri",
                                               "TITLE:Socio",
                                               "ADR;TYPE=WORK:;;Via Po 1;Torino;;10100;",
                                               "TEL;TYPE=WORK,VOICE:011 123",
                                               "TEL;TYPE=CELL:+39 333 1",
                                               "EMAIL;TYPE=INTERNET:ugo@neri.it",
                                               "URL:www.neri.it"};
    QTest::newRow("only a name, spaces in runs")
        << Fields{{FirstName, "  Anna   Maria "}}
        << QStringList{"N:;Anna   Maria;;;", "FN:Anna Maria"};
    QTest::newRow("separators escaped, not in TEL and URL")
        << Fields{{Title, "Ing., dott."}, {Surname, "A\\B"}, {Role, "Tesoriera; soci"},
                  {Town, "Forlì"},        {Landline, "1;2"}, {Website, "a.it/x,y"}}
        << QStringList{"N:A\\\\B;;;Ing.\\, dott.;", "FN:Ing.\\, dott. A\\\\B",
                       "TITLE:Tesoriera\\; soci",   "ADR;TYPE=WORK:;;;Forlì;;;",
                       "TEL;TYPE=WORK,VOICE:1;2",   "URL:a.it/x,y"};
    QTest::newRow("every address, empty ones left out")
        << Fields{{Email, "A@b.it; ;c@D.it;e@f.it;"}, {Website, " W.it ;x.it"}}
        << QStringList{"N:;;;;",
                       "FN:",
                       "EMAIL;TYPE=INTERNET:a@b.it",
                       "EMAIL;TYPE=INTERNET:c@d.it",
                       "EMAIL;TYPE=INTERNET:e@f.it",
                       "URL:w.it",
                       "URL:x.it"};
    QTest::newRow("empty record") << Fields{{Title, "   "}} << QStringList{};
}

void CardContentTest::vCardOfTheRecord() {
    QFETCH(Fields, fields);
    QFETCH(QStringList, lines);
    const QString expected =
        lines.isEmpty()
            ? QString()
            : (QStringList{"BEGIN:VCARD", "VERSION:3.0"} + lines + QStringList{"END:VCARD"})
                      .join("\r\n") +
                  "\r\n";
    QCOMPARE(cardVCard(recordOf(fields)), expected);
}

void CardContentTest::composesSlots() {
    QFETCH(Fields, fields);
    QFETCH(QStringList, lines);
    QFETCH(int, F);
    QFETCH(int, n);

    RecordingSurface surface;
    DatiBuffer Dati;
    const CardContent content = composeCard(surface, recordOf(fields), Dati);
    QCOMPARE(slotsOf(Dati), lines);
    QCOMPARE(content.F, F);
    QCOMPARE(content.n, n);
}

void CardContentTest::emptiesTheWholeBuffer() {
    RecordingSurface surface;
    DatiBuffer Dati;
    for (QString& slot : Dati) slot = QStringLiteral("riga di un file");
    composeCard(surface, recordOf({{Surname, "Rossi"}}), Dati);
    for (int i = 0; i < kDatiSize; ++i) QCOMPARE(Dati[i], i == 1 ? QString("Rossi") : QString());
}

void CardContentTest::measuresTheNameInAFixedFont() {
    // A 35 mm name (at 12 points) stays on one line even when an earlier print left a large,
    // bold font on the surface: measured in that font it would be 58 mm and split.
    const CardRecord record = recordOf({{FirstName, wide(17, u'n')}, {Surname, wide(17, u's')}});
    RecordingSurface surface;
    surface.font = {QStringLiteral("Arial special"), 20, true, true};
    DatiBuffer Dati;
    const CardContent content = composeCard(surface, record, Dati);
    QCOMPARE(content.F, 1);
    QCOMPARE(surface.measured.size(), 1);
    QCOMPARE(surface.measured[0].first, Dati[1]);
    const RecordedFont expectedFont{QStringLiteral("Times new roman"), 12, false, false};
    QCOMPARE(surface.measured[0].second, expectedFont);
    QVERIFY(surface.texts.isEmpty() && surface.lines.isEmpty());
}

void CardContentTest::sizesByRows_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<float>("large");
    QTest::addColumn<float>("small");
    const float table[][2] = {{12, 10}, {11, 9}, {11, 9}, {10, 8}, {10, 8}, {9, 7}, {9, 7}, {8, 6}};
    for (int r = 1; r <= 8; ++r) {
        QTest::addRow("%d rows", r) << r << table[r - 1][0] << table[r - 1][1];
    }
    QTest::newRow("19 rows") << 19 << 3.f << 1.f;
}

void CardContentTest::sizesByRows() {
    QFETCH(int, rows);
    QFETCH(float, large);
    QFETCH(float, small);
    for (int slot = 0; slot <= kLastCardSlot; ++slot) {
        QCOMPARE(slotStyle(slot, rows).size, slot <= 1 ? large : small);
        QCOMPARE(slotStyle(slot, rows).alignment, qint16(2));
    }
}

void CardContentTest::weightAndSlantBySlot_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    const bool bold[] = {true, true, false, false, true, false, false, false, false, false, false};
    const bool italic[] = {false, false, false, true, false, false, false, true, true, true, true};
    for (int slot = 0; slot <= kLastCardSlot; ++slot) {
        QTest::addRow("slot %d", slot) << slot << bold[slot] << italic[slot];
    }
}

void CardContentTest::weightAndSlantBySlot() {
    QFETCH(int, slot);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    for (int rows : {1, 6, 8}) {
        QCOMPARE(slotStyle(slot, rows).bold, bold);
        QCOMPARE(slotStyle(slot, rows).italic, italic);
    }
}

QTEST_GUILESS_MAIN(CardContentTest)
#include "tst_cardcontent.moc"
