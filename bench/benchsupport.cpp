// Shared pieces of the benchmarks: default-answering prompts, the sample cards, peak memory.
#include "benchsupport.h"

#include <QFile>

PromptAnswer DefaultPrompts::message(const MessageRequest& request) {
    texts << request.text;
    return request.defaultButton;
}

std::optional<QString> DefaultPrompts::chooseFile(const FileDialogRequest&) { return std::nullopt; }

CardRecord sampleRecord(int colonne, int righe) {
    CardRecord r;
    r.campi = {QStringLiteral("Dott."),           QStringLiteral("Mario"),
               QStringLiteral("Rossi"),           QStringLiteral("Presidente circolo"),
               QStringLiteral("Via Roma 1"),      QStringLiteral("00100"),
               QStringLiteral("Roma (RM)"),       QStringLiteral("+39 06 1234567"),
               QStringLiteral("+39 333 1234567"), QStringLiteral("mario.rossi@esempio.it"),
               QStringLiteral("www.esempio.it")};
    r.colonne = QString::number(colonne);
    r.righe = QString::number(righe);
    return r;
}

CardRecord fullRecord(int colonne, int righe) {
    CardRecord r;
    r.campi = {QStringLiteral("Dott. Ing."),
               QStringLiteral("Mario Alberto e Maria Luisa"),
               QStringLiteral("Rossi Bianchi"),
               QStringLiteral("Presidente circolo camperisti"),
               QStringLiteral("Via Giuseppe Garibaldi 123/B"),
               QStringLiteral("00100"),
               QStringLiteral("Roma (RM)"),
               QStringLiteral("+39 06 12345678"),
               QStringLiteral("+39 333 1234567"),
               QStringLiteral("Mario.Rossi@Esempio.it; m.bianchi@circolo-camperisti.it"),
               QStringLiteral("www.Esempio.it; www.circolo-camperisti.it/soci/rossi")};
    r.colonne = QString::number(colonne);
    r.righe = QString::number(righe);
    return r;
}

qint64 peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("VmHWM:")) continue;
        bool ok = false;
        const qint64 kib = line.mid(6).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kib : -1;
    }
    return -1;
}
