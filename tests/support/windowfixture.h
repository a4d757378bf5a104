// A main window on a temporary program folder, with scripted prompts and a fixed printer list.
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "app/frmquarzello.h"
#include "fakeprinters.h"
#include "scriptedprompts.h"

struct WindowFixture {
    QTemporaryDir folder;
    ScriptedPrompts prompts;
    FakePrinterSystem printers;
    std::unique_ptr<frmQuarzello> window;

    // Builds the window, which runs its start-up at once. What start-up asked (the first-run
    // greeting) is forgotten unless keepStartupPrompts is set.
    frmQuarzello& open(bool keepStartupPrompts = false) {
        window = std::make_unique<frmQuarzello>(folder.path(), prompts, printers);
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
