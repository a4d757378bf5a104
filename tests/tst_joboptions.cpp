// The options every job carries through a private CUPS scheduler, whatever the lpoptions files
// set, and a queue with margins that prints the sheet whole or reduced.
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "cupsfixture.h"
#include "pdfbox.h"
#include "print/margins.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "printers/joboptions.h"
#include "printers/lpoptions.h"
#include "samples.h"

using namespace quarzello;

class JobOptionsTest : public PrivateCupsTest {
    Q_OBJECT

  private slots:
    void jobOptionsKeepTheSheet_data() {
        QTest::addColumn<QString>("machine");  // the two lpoptions files
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QStringList>("options");
        const QStringList own = {"media=A4",
                                 "sides=one-sided",
                                 "print-scaling=none",
                                 "number-up=1",
                                 "number-up-layout=lrtb",
                                 "orientation-requested=3",
                                 "page-border=none",
                                 "mirror=false",
                                 "page-set=all",
                                 "job-sheets=none,none",
                                 "booklet=off",
                                 "fit-to-page=false",
                                 "scaling=100",
                                 "natural-scaling=100",
                                 "position=center"};
        QTest::newRow("nothing set") << ""
                                     << ""
                                     << "Alfa" << own;
        QTest::newRow("the instance's copies, never its sheet")
            << ""
            << "Dest Alfa/due copies=2 media=Letter fit-to-page=true PageSize=Letter "
               "sides=two-sided-long-edge number-up=2 page-ranges=1 Collate=True booklet=on "
               "job-sheets=standard page-set=even mirror orientation-requested=4\n"
            << "Alfa/due" << own + QStringList{"copies=2", "Collate=True"};
        QTest::newRow("instance over its queue, another instance apart")
            << "Dest Alfa copies=3 ColorModel=Gray\nDest alfa/due copies=2\nDest Alfa/tre "
               "copies=5\n"
            << ""
            << "Alfa/due" << own + QStringList{"copies=2", "ColorModel=Gray"};
        QTest::newRow("the user's file wins, quotes and escapes")
            << "Default Alfa/due copies=2 job-sheets=none\n"
            << "Dest Alfa/due copies=4 job-sheets=\"none,none\" title='a b' note=c\\ d nocollate "
               "landscape\n"
            << "Alfa/due"
            << own + QStringList{"copies=4", "title=a b", "note=c d", "collate=false"};
    }
    void jobOptionsKeepTheSheet() {
        QFETCH(QString, machine);
        QFETCH(QString, user);
        QFETCH(QString, printer);
        QFETCH(QStringList, options);
        QTemporaryDir dir;
        QStringList files;
        for (const QString& text : {machine, user}) {
            files << dir.filePath(QString::number(files.size()));
            QFile file(files.last());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.size());
        }
        QStringList got;
        for (const JobOption& option : jobOptions(printerOptions(printer, files)))
            got << option.name + "=" + option.value;
        // The sheet's own first, in any order; the printer's after them.
        const qsizetype sheet = jobOptions({}).size();
        QCOMPARE(got.mid(0, sheet), options.mid(0, sheet));
        got.sort();
        options.sort();
        QCOMPARE(got, options);
    }
    void marginsQueuePrintsWholeOrReduced() {
        // A PDF printer with 6.35 mm at the sides and 12.7 mm at the top and bottom, through the
        // real filters, whose defaults fit every page to that area, two to a sheet, turned,
        // mirrored, after a banner page.
        const QString name = QStringLiteral("Margini");
        QVERIFY2(
            cups_.addPrinter(name, QStringLiteral(QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd")),
            qPrintable(cups_.errorString()));
        const auto removed = qScopeGuard([&] { cups_.removePrinter(name); });
        for (const char* option :
             {"fit-to-page-default=true", "number-up-default=2", "orientation-requested-default=4",
              "mirror-default=true", "job-sheets-default=standard,none"})
            QVERIFY2(cups_.setQueueOption(name, option), qPrintable(cups_.errorString()));
        Deadline deadline(kPatient);
        const Result<PrintableArea> area = printers_.printableArea(name, deadline);
        QVERIFY2(area, qPrintable(area.error()));
        QVERIFY(area->known);
        QCOMPARE(QList<double>({area->left, area->right, area->top, area->bottom}),
                 QList<double>({6.35, 6.35, 12.7, 12.7}));

        const auto surface = std::make_unique<PdfSurface>(name);
        const Result<SheetPlan> plan = planSheet(*surface, fullRecord(), SheetPaper({2, 6}));
        QVERIFY(plan);
        const MarginLoss loss = marginLoss(*plan, *area);
        QVERIFY(!loss.fits());
        QList<PdfWord> whole;
        // At 100 % the words come out where the program put them, the queue's fit-to-page
        // notwithstanding; reduced, each is that far from the page's centre times the factor.
        for (const double f : {1.0, loss.factor()}) {
            QVERIFY(drawPage(*surface, *plan, f).ok() && surface->endDoc().ok());
            if (f == 1.0) whole = pdfWords(surface->document());
            Deadline sending(kPatient);
            QVERIFY(printers_.submitJob(name, surface->document(), sending));
            const QByteArray printed = cups_.waitForJob(name);
            QVERIFY2(printed.startsWith("%PDF"), qPrintable(cups_.errorString()));
            const QList<PdfWord> out = pdfWords(printed);
            QCOMPARE(out.size(), whole.size());
            for (qsizetype i = 0; i < out.size(); ++i) {
                const double x = 105 + f * (whole[i].xMin - 105),
                             y = 148.5 + f * (whole[i].yMax - 148.5);
                QVERIFY2(std::abs(out[i].xMin - x) < 0.15 && std::abs(out[i].yMax - y) < 0.15,
                         qPrintable(QString("%1 at %2, %3, not %4, %5")
                                        .arg(out[i].text)
                                        .arg(out[i].xMin)
                                        .arg(out[i].yMax)
                                        .arg(x)
                                        .arg(y)));
                if (f < 1.0) QVERIFY(out[i].yMin >= 12.7 && out[i].yMax <= 297 - 12.7);
            }
        }
    }
};

QTEST_MAIN(JobOptionsTest)
#include "tst_joboptions.moc"
