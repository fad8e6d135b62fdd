// The main window's Qt face: its frame, menu bar and pages built from the design and bound to the
// window's logic (form::TForm1), and what only Qt does: keys, focus order, the scrolled client
// area on a small screen, file drops, the port watch, the screen reader's announcements.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string_view>

#include "app/FaceBuilder.h"
#include "form/Form1.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

namespace zorvik {

class PortMap;
class PortWatch;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `form` outlives the window.
    MainWindow(form::TForm1& form, const PortMap& ports, QWidget* parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] form::TForm1& Form() const { return form_; }
    // The widget (or menu item) made for the control of that name, or null.
    template <typename T>
    [[nodiscard]] T* Widget(std::string_view name) const {
        return face_->Get<T>(name);
    }

    void FormResize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // A local .zvk dragged onto the window, over any of its controls, opens as with OpenFile.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddKeys();
    // Tab moves through each part of the window as it reads, top left to bottom right.
    void OrderFocus();
    void FollowFileLabel();
    // Lets a configuration file be dropped anywhere on the window, also over an edit that takes
    // dropped text.
    void AcceptFileDrops();
    // Takes a drag event that carries a configuration file; false for any other event.
    bool TakeFileDrop(QEvent& event);

    form::TForm1& form_;
    std::unique_ptr<QtFace> face_;
    PortWatch* portWatch_ = nullptr;
};

}  // namespace zorvik
