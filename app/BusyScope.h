// While a command talks to the device: a busy cursor, and no user input reaches the windows.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "app/ScreenReader.h"

namespace zorvik {

// Put one on the stack for the length of a command that exchanges with the device. Commands run
// synchronously on this thread and their pauses only repaint (WindowClock), so clicks and keys
// made meanwhile wait in the queue; when the scope ends it takes them and drops them, so they are
// not replayed as soon as the command returns. A message box the command shows meanwhile is the
// exception: it takes input as usual and shows the ordinary arrow cursor. A screen reader is
// answered meanwhile but not obeyed (ScreenReaderHold). The cursor and the filter go away with the
// scope also when the command ends by an exception.
class BusyScope {
public:
    BusyScope() : modalAtStart_(QApplication::activeModalWidget()) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        filter_.scope = this;
        qApp->installEventFilter(&filter_);
    }

    ~BusyScope() {
        // Input that arrived during the command is delivered now, to the filter, and dropped.
        QCoreApplication::processEvents();
        qApp->removeEventFilter(&filter_);
        for (std::size_t i = 0; i < arrowFor_.size(); ++i) {
            QApplication::restoreOverrideCursor();
        }
        QApplication::restoreOverrideCursor();
    }

    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    // User input; anything else (painting, layout, closing) goes through.
    [[nodiscard]] static bool IsUserInput(const QEvent& event) {
        switch (event.type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::NonClientAreaMouseButtonPress:
            case QEvent::NonClientAreaMouseButtonRelease:
            case QEvent::NonClientAreaMouseButtonDblClick:
            case QEvent::NonClientAreaMouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::InputMethod:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::TouchCancel:
            case QEvent::TabletPress:
            case QEvent::TabletMove:
            case QEvent::TabletRelease:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            // Close requests are not among them: Qt delivers a window's own close() as the window
            // system's, and one made meanwhile gets its usual question once the command is over.
            default:
                return false;
        }
    }

private:
    class Filter : public QObject {
    public:
        bool eventFilter(QObject* watched, QEvent* event) override {
            return scope->Filters(watched, *event);
        }
        BusyScope* scope = nullptr;
    };

    // A modal window opened during the command: a message box waiting for the user.
    [[nodiscard]] QWidget* NewModal() const {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != modalAtStart_ ? modal : nullptr;
    }

    [[nodiscard]] static bool Inside(QObject* watched, QWidget* window) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            return widget->window() == window;
        }
        if (auto* handle = qobject_cast<QWindow*>(watched)) {
            return handle == window->windowHandle();
        }
        return false;
    }

    // True to drop the event.
    bool Filters(QObject* watched, const QEvent& event) {
        TrackModalCursor(watched, event);
        if (!IsUserInput(event)) {
            return false;
        }
        if (QWidget* modal = NewModal()) {
            if (Inside(watched, modal) || QApplication::activePopupWidget() != nullptr) {
                return false;
            }
        }
        return true;
    }

    // A message box shown meanwhile gets the arrow cursor while it is up.
    void TrackModalCursor(QObject* watched, const QEvent& event) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || !widget->isWindow() || widget == modalAtStart_) {
            return;
        }
        const auto tracked = std::find(arrowFor_.begin(), arrowFor_.end(), widget);
        if (event.type() == QEvent::Show && widget->isModal() && tracked == arrowFor_.end()) {
            arrowFor_.emplace_back(widget);
            QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        } else if ((event.type() == QEvent::Hide || event.type() == QEvent::Destroy) &&
                   tracked != arrowFor_.end()) {
            arrowFor_.erase(tracked);
            QApplication::restoreOverrideCursor();
        }
    }

    QPointer<QWidget> modalAtStart_;
    std::vector<QPointer<QWidget>> arrowFor_;
    Filter filter_;
    ScreenReaderHold screenReader_;
};

}  // namespace zorvik
