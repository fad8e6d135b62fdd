// The screen reader during commands, and announcements.
#include "app/ScreenReader.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QEvent>
#include <QVariantMap>
#include <QWidget>

namespace zorvik {

namespace {

// Qt's own connection to the accessibility bus, made once a screen reader is about.
const QString kBusConnection = QStringLiteral("a11y");
// Where Qt answers for every accessible object of the program, and its tree cache.
const QString kAccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kObjectPathPrefix = QStringLiteral("/org/a11y/atspi/accessible/");
const QString kCachePath = QStringLiteral("/org/a11y/atspi/cache");
const QString kGateName = QStringLiteral("ScreenReaderGate");
const QString kBusyError = QStringLiteral("org.a11y.atspi.Error.Busy");
const QString kEventInterface = QStringLiteral("org.a11y.atspi.Event.Object");
const QString kAnnouncement = QStringLiteral("Announcement");

// Questions only: they read the window and change nothing in it.
bool OnlyAsks(const QDBusMessage& call) {
    const QString& member = call.member();
    return member.startsWith(QStringLiteral("Get")) || member.startsWith(QStringLiteral("Is")) ||
           member == QStringLiteral("Contains") || member == QStringLiteral("Introspect");
}

// The window of the accessible object a call is addressed to, if it is a widget's.
QWidget* WindowAddressed(const QDBusMessage& call) {
    if (!call.path().startsWith(kObjectPathPrefix)) {
        return nullptr;
    }
    bool number = false;
    const uint id = call.path().mid(kObjectPathPrefix.size()).toUInt(&number);
    QAccessibleInterface* target = number ? QAccessible::accessibleInterface(id) : nullptr;
    auto* widget = target != nullptr ? qobject_cast<QWidget*>(target->object()) : nullptr;
    return widget != nullptr ? widget->window() : nullptr;
}

// Stands in front of Qt's own answering object on the accessibility bus. Qt posts every call for
// it to this thread; outside a command the loop delivers them as before, during one the pauses
// deliver them, and the actions are refused.
class ScreenReaderGate : public QDBusVirtualObject {
public:
    explicit ScreenReaderGate(QObject* parent) : QDBusVirtualObject(parent) {
        setObjectName(kGateName);
    }

    // Puts the gate in front of Qt's object, once Qt has one; true when it stands there.
    bool Stand() {
        QDBusConnection bus(kBusConnection);
        if (!bus.isConnected()) {
            return false;
        }
        QObject* registered = bus.objectRegisteredAt(kAccessiblePath);
        if (registered == this) {
            return true;
        }
        auto* answering = qobject_cast<QDBusVirtualObject*>(registered);
        if (answering == nullptr) {
            return false;
        }
        bus.unregisterObject(kAccessiblePath);
        if (!bus.registerVirtualObject(kAccessiblePath, this, QDBusConnection::SubPath)) {
            bus.registerVirtualObject(kAccessiblePath, answering, QDBusConnection::SubPath);
            return false;
        }
        answering_ = answering;
        return true;
    }

    void Hold(QWidget* modalBefore) {
        ++holds_;
        modalBefore_ = modalBefore;
    }
    void Release() { --holds_; }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        if (answering_ == nullptr) {
            return false;
        }
        if (holds_ > 0 && !OnlyAsks(call) && !ForNewModal(call)) {
            bus.send(call.createErrorReply(kBusyError,
                                           QStringLiteral("the window is busy with a command")));
            return true;
        }
        return answering_->handleMessage(call, bus);
    }

    [[nodiscard]] QString introspect(const QString& path) const override {
        return answering_ != nullptr ? answering_->introspect(path) : QString();
    }

private:
    // A message box opened by the command takes actions, as it takes clicks.
    [[nodiscard]] bool ForNewModal(const QDBusMessage& call) const {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != nullptr && modal != modalBefore_ && WindowAddressed(call) == modal;
    }

    QPointer<QDBusVirtualObject> answering_;
    QPointer<QWidget> modalBefore_;
    int holds_ = 0;
};

ScreenReaderGate* FindGate() {
    return qApp != nullptr ? static_cast<ScreenReaderGate*>(qApp->findChild<QDBusVirtualObject*>(
                                 kGateName, Qt::FindDirectChildrenOnly))
                           : nullptr;
}

ScreenReaderGate* Gate() {
    if (qApp == nullptr) {
        return nullptr;
    }
    ScreenReaderGate* gate = FindGate();
    return gate != nullptr ? gate : new ScreenReaderGate(qApp);
}

}  // namespace

ScreenReaderHold::ScreenReaderHold() : modalBefore_(QApplication::activeModalWidget()) {
    if (ScreenReaderGate* gate = Gate()) {
        gate->Stand();
        gate->Hold(modalBefore_);
    }
}

ScreenReaderHold::~ScreenReaderHold() {
    if (ScreenReaderGate* gate = FindGate()) {
        gate->Release();
    }
}

void ServeScreenReader() {
    ScreenReaderGate* gate = FindGate();
    if (gate == nullptr || !gate->Stand()) {
        return;
    }
    QCoreApplication::sendPostedEvents(gate, QEvent::MetaCall);
    if (QObject* cache = QDBusConnection(kBusConnection).objectRegisteredAt(kCachePath)) {
        QCoreApplication::sendPostedEvents(cache, QEvent::MetaCall);
    }
}

void Announce(QWidget& control, const QString& text) {
    QDBusConnection bus(kBusConnection);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
    if (!bus.isConnected() || accessible == nullptr) {
        return;
    }
    const QString path = kObjectPathPrefix + QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage event = QDBusMessage::createSignal(path, kEventInterface, kAnnouncement);
    event << QString() << 0 << 0 << QVariant::fromValue(QDBusVariant(text)) << QVariantMap();
    bus.send(event);
}

}  // namespace zorvik
