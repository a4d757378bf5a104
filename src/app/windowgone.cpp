// Listens to the X server for the window's destruction; other platforms give no such word, and
// there the window can only go through Qt, which already ends the program.
#include "app/windowgone.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

namespace quarzello {

WindowGoneWatch::WindowGoneWatch() { QCoreApplication::instance()->installNativeEventFilter(this); }

WindowGoneWatch::~WindowGoneWatch() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowGoneWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY) return false;
    const xcb_window_t destroyed = static_cast<const xcb_destroy_notify_event_t*>(message)->window;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        // Qt destroying a window of its own has already let go of its id.
        if (widget->parentWidget() || widget->internalWinId() != destroyed) continue;
        gone_ = true;
        // Closed from the event loop, not from inside the platform's event handling.
        QMetaObject::invokeMethod(
            widget,
            [window = QPointer<QWidget>(widget)] {
                if (window) window->close();
                QCoreApplication::exit(0);
            },
            Qt::QueuedConnection);
    }
    return false;
}

}  // namespace quarzello
