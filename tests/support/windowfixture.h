// A main window on a temporary program folder, with scripted prompts and a fixed printer list,
// and the small helpers the window tests share.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/setup.h"
#include "fakemarginmemory.h"
#include "fakeprinters.h"
#include "platform/settingsstore.h"
#include "scriptedprompts.h"
#include "window/frmquarzello.h"

namespace quarzello {

struct WindowFixture {
    QTemporaryDir folder;
    ScriptedPrompts prompts;
    FakeMarginMemory margins;
    FakePrinterSystem printers;
    // The window's settings file: one of the fixture's own unless another is named before open().
    QTemporaryDir config;
    QString settingsFile;
    std::unique_ptr<SettingsStore> store;
    // The documents of the window's prints; none: the printers' recordings.
    SurfaceFactory surfaces;
    std::unique_ptr<frmQuarzello> window;

    // Sets the process up as the program does (the temporary folder is the program's) and builds
    // the window, which runs its start-up at once. What start-up asked (the first-run greeting)
    // is forgotten unless keepStartupPrompts is set.
    frmQuarzello& open(bool keepStartupPrompts = false) {
        setUpProcess(folder.path());
        if (settingsFile.isEmpty())
            settingsFile = config.filePath(QStringLiteral("quarzello.conf"));
        store = std::make_unique<SettingsStore>(settingsFile);
        window = std::make_unique<frmQuarzello>(
            folder.path(), decideDataLocation(folder.path()), prompts, printers,
            PrintSettings{ServiceTimings{}, surfaces ? surfaces : printers.surfaces(), nullptr,
                          &margins, store.get()});
        if (!keepStartupPrompts) {
            prompts.messages.clear();
            prompts.dialogs.clear();
        }
        return *window;
    }
    template <typename T>
    T* child(const QString& name) const {
        return window->findChild<T*>(name);
    }
};

// Clicks the entry of the printer list as a user would; false when it is not listed or the
// click did not select it.
inline bool pickPrinter(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    if (found.size() != 1) return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
    return found.first()->isSelected();
}

// The entries of a list, top to bottom.
inline QStringList entries(const QListWidget* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->item(i)->text();
    return result;
}

inline QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

}  // namespace quarzello
