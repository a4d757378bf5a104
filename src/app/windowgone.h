// The program ends with its window, however the window went: closed by the user, or destroyed
// from outside (another program, a window manager that died) while a question was open.
#pragma once

#include <QAbstractNativeEventFilter>

namespace quarzello {

// While it lives, the X server's word that the native window of a window of the program's own
// (a top-level widget with no parent: not one of its boxes) was destroyed closes that window as
// the user would, giving up whatever it waited on, and ends the program, even with one of its
// questions open: they belong to a window that is gone. Made before the window, whose start-up
// can already ask.
class WindowGoneWatch final : public QAbstractNativeEventFilter {
  public:
    WindowGoneWatch();
    ~WindowGoneWatch() override;
    WindowGoneWatch(const WindowGoneWatch&) = delete;
    WindowGoneWatch& operator=(const WindowGoneWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Whether a window went so: before the event loop runs, ending it does nothing.
    bool windowGone() const { return gone_; }

  private:
    bool gone_ = false;
};

}  // namespace quarzello
