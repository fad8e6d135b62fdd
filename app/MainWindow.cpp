// The main window's Qt face: construction from the design, keys, focus, size, drops, port watch.
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QUrl>
#include <optional>

#include "app/Artwork.h"
#include "app/ComComboBox.h"
#include "app/ControlFactory.h"
#include "app/Controls.h"
#include "app/FocusOrder.h"
#include "app/ProgramLook.h"
#include "app/ScreenReader.h"
#include "app/WindowSize.h"
#include "ports/PortWatch.h"

namespace zorvik {

namespace {

constexpr QSize kOuterSize(680, 610);  // the window keeps this size, frame included
constexpr int kBottomMargin = 8;       // below the lowest control when the pages scroll

// The one local configuration file a drag carries; nothing for several files, a remote one or
// any other name, which the window leaves to whatever took them before.
std::optional<std::string> DraggedConfigFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return std::nullopt;
        }
        paths.push_back(url.toLocalFile().toStdString());
    }
    return form::DroppedConfigFile(paths);
}

}  // namespace

MainWindow::MainWindow(form::TForm1& form, const PortMap& ports, QWidget* parent)
    : QMainWindow(parent), form_(form) {
    setObjectName(QString::fromLatin1(form.Design().name));
    setWindowTitle(QString::fromUtf8(form.Design().caption));
    setWindowIcon(ProgramIcon());
    setFont(ProgramFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor(kButtonFaceColour));
    setPalette(face);

    // The pages scroll only on a screen too small for the whole window; elsewhere the scroll area
    // is exactly the client area and shows nothing of its own.
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("ClientScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidgetResizable(true);
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientArea"));
    scroller->setWidget(client);
    setCentralWidget(scroller);
    PrepareMenuBar(menuBar());

    face_ = std::make_unique<QtFace>(form.Controls(), *client, menuBar(), &ports);
    // Scrolled, the client area reaches just past its farthest control, with the margin it has
    // on the left.
    const QRect used = client->childrenRect();
    client->setMinimumSize(used.right() + 1 + used.left(), used.bottom() + 1 + kBottomMargin);
    // A screen reader names a drop-down list by the label that has it as its buddy.
    auto* selector = Widget<TComComboBox>("ComComboBox1");
    Widget<QLabel>("Label1")->setBuddy(selector);
    selector->BeforeDropDown = [this] { form_.RefreshPorts(); };
    // The list follows adapters plugged in or pulled out while the program runs.
    portWatch_ = new PortWatch(ports, PortWatch::Sources{}, this);
    connect(portWatch_, &PortWatch::PortsChanged, this, [this] { form_.RefreshPorts(); });
    form_.OnAnnounce = [this](const form::TControl& control, const std::u16string& text) {
        if (auto* widget = Widget<QWidget>(control.Name())) {
            Announce(*widget, ToQt(text));
        }
    };
    form_.SetCloser([this] { close(); });
    FollowFileLabel();
    AddKeys();
    OrderFocus();
    AcceptFileDrops();
    FormResize();
}

MainWindow::~MainWindow() {
    form_.SetCloser({});
    form_.OnAnnounce = {};
}

void MainWindow::FollowFileLabel() {
    // Once it names a file the label takes a fixed width, and the full path as its tip.
    auto* label = Widget<QLabel>("Label45");
    Follow(*label, form_.Label45, [this, label] {
        label->setText(ToQt(form_.Label45.Caption()));
        label->setToolTip(ToQt(form_.Label45.Hint()));
        if (form_.FileLabelWidth() > 0) {
            label->setFixedWidth(form_.FileLabelWidth());
        }
    });
}

void MainWindow::AddKeys() {
    for (const ControlDesign& row : form_.Design().controls) {
        if (*row.shortcut != '\0') {
            AddShortcut(this, QKeySequence(QString::fromLatin1(row.shortcut)),
                        Widget<QAction>(row.name));
        }
    }
    // F10 opens the first menu, as on the desktops that have no Alt key navigation.
    auto* menuKey = MakeShortcut(this, QKeySequence(Qt::Key_F10));
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    // Ctrl+Tab and Ctrl+Shift+Tab go round the pages, as in a tabbed dialog.
    const auto turnPage = [this](int by) {
        const auto pages = static_cast<int>(form_.TabControl1.Tabs().size());
        form_.TabControl1.UserSelect((form_.TabControl1.TabIndex() + by + pages) % pages);
    };
    auto* nextPage = MakeShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Tab));
    connect(nextPage, &QShortcut::activated, this, [turnPage] { turnPage(+1); });
    auto* previousPage = MakeShortcut(this, QKeySequence());
    // X11 reports Shift+Tab as Backtab; both spellings are taken.
    previousPage->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    connect(previousPage, &QShortcut::activated, this, [turnPage] { turnPage(-1); });
}

void MainWindow::OrderFocus() {
    // The frame above the pages, the tabs, then each page on its own: the pages share one place.
    std::vector<QWidget*> chain =
        FocusByLayout({Widget<QWidget>("CheckBox6"), Widget<QWidget>("CheckBox7"),
                       Widget<QWidget>("MaskEdit6"), Widget<QWidget>("GroupBox8")});
    auto* tabs = Widget<TTabControl>("TabControl1");
    for (int i = 0; QAbstractButton* tab = tabs->Tab(i); ++i) {
        chain.push_back(tab);
    }
    const std::vector<std::vector<const char*>> pages = {
        {"Panel1", "Panel2"},
        {"Panel3", "Panel4", "Panel5", "Panel6", "Panel7", "Panel8"},
        {"Panel9", "Panel10", "Panel11", "Panel12"},
    };
    for (const auto& page : pages) {
        std::vector<QWidget*> panels;
        for (const char* panel : page) {
            panels.push_back(Widget<QWidget>(panel));
        }
        const std::vector<QWidget*> controls = FocusByLayout(panels);
        chain.insert(chain.end(), controls.begin(), controls.end());
    }
    SetFocusChain(chain);
}

void MainWindow::FormResize() {
    // A screen smaller than the window gets a window its size, whose pages scroll.
    QSize outer = kOuterSize;
    if (const QScreen* where = screen()) {
        outer = outer.boundedTo(where->availableGeometry().size());
    }
    HoldOuterSize(*this, outer);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormResize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window system frames the window after showing it; its frame's share is known from then.
    FormResize();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (form_.FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::AcceptFileDrops() {
    setAcceptDrops(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->acceptDrops()) {
            control->installEventFilter(this);
        }
    }
}

bool MainWindow::TakeFileDrop(QEvent& event) {
    if (event.type() != QEvent::DragEnter && event.type() != QEvent::DragMove &&
        event.type() != QEvent::Drop) {
        return false;
    }
    auto& drop = static_cast<QDropEvent&>(event);
    const auto path = DraggedConfigFile(drop.mimeData());
    if (!path) {
        return false;
    }
    // Not while another window or a message waits for the user; and only ever as a copy, so that
    // the file manager never takes a drop as a move and removes the file.
    if (QApplication::activeModalWidget() != nullptr ||
        (drop.possibleActions() & Qt::CopyAction) == 0) {
        drop.ignore();
        return true;
    }
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    if (event.type() == QEvent::Drop) {
        // Opened from a queued call, like a menu item: the drop returns to the file manager at
        // once, and a message the open shows does not hold it up.
        QMetaObject::invokeMethod(
            this, [this, file = *path] { form_.OpenFile(file); }, Qt::QueuedConnection);
    }
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dragEnterEvent(event);
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dragMoveEvent(event);
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (!TakeFileDrop(*event)) {
        QMainWindow::dropEvent(event);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != this && TakeFileDrop(*event)) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace zorvik
