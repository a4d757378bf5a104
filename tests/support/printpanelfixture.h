// The base of the printer panel's tests: before each test, a main window shown on a fixed list
// of printers (Zeta, the system's default, and Alfa) with a short record in it.
#pragma once

#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "windowfixture.h"

namespace quarzello {

class PrintPanelFixture : public QObject {
    Q_OBJECT

  protected slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        f->printers.names = {"Zeta", "Alfa"};
        f->printers.defaultName = "Zeta";
        w = &f->open();
        w->show();
        list = f->child<QListWidget>("lstStampanti");
        panel = f->child<QWidget>("frmPrinter");
        CardRecord r;
        r.fields[Surname] = "Rossi";
        r.fields[Landline] = "06 123";
        w->setRecord(r);
    }

  protected:
    std::unique_ptr<WindowFixture> f;
    frmQuarzello* w = nullptr;
    QListWidget* list = nullptr;
    QWidget* panel = nullptr;

    // Each press waits for the command it starts to end.
    void pressPrint() {
        QTest::mouseClick(f->child<QPushButton>("cmdStampa"), Qt::LeftButton);
        QTRY_VERIFY(!w->commandUnderWay());
    }
    void pressPanel(int index) {
        QTest::mouseClick(f->child<QPushButton>(QStringLiteral("cmdSelStampante_%1").arg(index)),
                          Qt::LeftButton);
        QTRY_VERIFY(!w->commandUnderWay());
    }
};

}  // namespace quarzello
