// The sample records.
#include "samples.h"

namespace quarzello {

namespace {

CardRecord withGrid(std::array<QString, kFieldCount> fields, const QString& rows,
                    const QString& columns) {
    CardRecord record;
    record.fields = std::move(fields);
    record.rows = rows;
    record.columns = columns;
    return record;
}

}  // namespace

CardRecord sampleRecord() {
    return withGrid(
        {QStringLiteral("Dott."), QStringLiteral("Mario e Maria"), QStringLiteral("Rossi"),
         QStringLiteral("Presidente circolo"), QStringLiteral("Via Verdi 12"),
         QStringLiteral("20100"), QStringLiteral("Città di Castello (PG)"),
         QStringLiteral("+39021234567"), QStringLiteral("3331234567"),
         QStringLiteral("mario@example.it;maria@example.it"), QStringLiteral("www.example.it € ’")},
        QStringLiteral("8"), QStringLiteral("3"));
}

CardRecord nameOnly(const QString& rowsText, const QString& columnsText) {
    CardRecord record;
    record.fields[Surname] = QStringLiteral("Rossi");
    record.rows = rowsText;
    record.columns = columnsText;
    return record;
}

CardRecord fullRecord(const QString& rows, const QString& columns) {
    return withGrid({QStringLiteral("Dott."), QStringLiteral("Mario"), QStringLiteral("Rossi"),
                     QStringLiteral("Presidente circolo"), QStringLiteral("Via Roma 1"),
                     QStringLiteral("00100"), QStringLiteral("Roma"), QStringLiteral("06 1234567"),
                     QStringLiteral("333 1234567"), QStringLiteral("Mario@Esempio.IT"),
                     QStringLiteral("www.esempio.it")},
                    rows, columns);
}

QStringList fullRecordLines() {
    return {QStringLiteral("Dott. Mario Rossi"),
            QStringLiteral("Presidente circolo"),
            QStringLiteral("Via Roma 1"),
            QStringLiteral("00100 Roma"),
            QStringLiteral("Tel.: 06 1234567"),
            QStringLiteral("Cell.: 333 1234567"),
            QStringLiteral("e-mail: mario@esempio.it"),
            QStringLiteral("Internet: www.esempio.it")};
}

CardRecord clubRecord(const QString& firstName, const QString& surname, const QString& rows,
                      const QString& columns) {
    return withGrid(
        {QStringLiteral("Dott."), firstName, surname, QStringLiteral("Presidente del Club"),
         QStringLiteral("Via Garibaldi 12"), QStringLiteral("20121"), QStringLiteral("Milano (MI)"),
         QStringLiteral("02 7654321"), QStringLiteral("+39 333 1234567"),
         QStringLiteral(" Mario.Rossi@Esempio.IT; Segreteria@Club.IT "),
         QStringLiteral("www.Club-Camper.IT")},
        rows, columns);
}

CardRecord readmeRecord(int columns, int rows) {
    return withGrid({QStringLiteral("Dott."), QStringLiteral("Mario"), QStringLiteral("Rossi"),
                     QStringLiteral("Presidente circolo"), QStringLiteral("Via Roma 1"),
                     QStringLiteral("00100"), QStringLiteral("Roma (RM)"),
                     QStringLiteral("+39 06 1234567"), QStringLiteral("+39 333 1234567"),
                     QStringLiteral("mario.rossi@esempio.it"), QStringLiteral("www.esempio.it")},
                    QString::number(rows), QString::number(columns));
}

CardRecord crowdedRecord(int columns, int rows) {
    return withGrid(
        {QStringLiteral("Dott. Ing."), QStringLiteral("Mario Alberto e Maria Luisa"),
         QStringLiteral("Rossi Bianchi"), QStringLiteral("Presidente circolo camperisti"),
         QStringLiteral("Via Giuseppe Garibaldi 123/B"), QStringLiteral("00100"),
         QStringLiteral("Roma (RM)"), QStringLiteral("+39 06 12345678"),
         QStringLiteral("+39 333 1234567"),
         QStringLiteral("Mario.Rossi@Esempio.it; m.bianchi@circolo-camperisti.it"),
         QStringLiteral("www.Esempio.it; www.circolo-camperisti.it/soci/rossi")},
        QString::number(rows), QString::number(columns));
}

}  // namespace quarzello
