// Watching the serial ports: udev for devices, inotify for the port folder, a poll for the rest.
#include "ports/PortWatch.h"

#include <libudev.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>

namespace zorvik {

namespace {

constexpr const char* kTtySubsystem = "tty";  // serial adapters and on-board UARTs alike
constexpr const char* kUdevEvents = "udev";   // events after udev has made the device's node
constexpr mode_t kPrivateFolder = 0700;       // the port folder and those made above it

// Makes `folder` and any of its parents that are missing, each private to the user, and gives
// whether the folder is there now. Where it is not, the poll still looks at the ports.
bool MakePrivateFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), kPrivateFolder) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return QFileInfo(QString::fromStdString(folder)).isDir();
}

// Ports whose names lead through the port folder: a pty behind a link can go without any
// event, so they are looked at by the poll even where udev runs.
bool AnyLinked(const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        const auto number = PortMap::ComNumber(name);
        return number && PortMap::Linked(*number);
    });
}

}  // namespace

struct PortWatch::Udev {
    ~Udev() {
        if (monitor != nullptr) {
            udev_monitor_unref(monitor);
        }
        if (context != nullptr) {
            udev_unref(context);
        }
    }
    struct udev* context = nullptr;
    struct udev_monitor* monitor = nullptr;
};

PortWatch::PortWatch(const PortMap& map, Sources sources, QObject* parent)
    : QObject(parent), map_(map), sources_(sources), present_(map.ListPresent()) {
    if (sources_.udev) {
        WatchUdev();
    }
    if (sources_.linkFolder) {
        WatchLinkFolder();
    }
    if (sources_.pollMs > 0) {
        poll_ = new QTimer(this);
        poll_->setInterval(sources_.pollMs);
        connect(poll_, &QTimer::timeout, this, &PortWatch::Check);
        UpdatePoll();
    }
}

PortWatch::~PortWatch() = default;

void PortWatch::WatchUdev() {
    auto udev = std::make_unique<Udev>();
    udev->context = udev_new();
    if (udev->context == nullptr) {
        return;
    }
    // Without a running udev (a container, a minimal system) no event would ever come.
    struct udev_queue* queue = udev_queue_new(udev->context);
    const bool running = queue != nullptr && udev_queue_get_udev_is_active(queue) != 0;
    if (queue != nullptr) {
        udev_queue_unref(queue);
    }
    if (!running) {
        return;
    }
    udev->monitor = udev_monitor_new_from_netlink(udev->context, kUdevEvents);
    if (udev->monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(udev->monitor, kTtySubsystem, nullptr) <
            0 ||
        udev_monitor_enable_receiving(udev->monitor) < 0) {
        return;
    }
    const int fd = udev_monitor_get_fd(udev->monitor);
    if (fd < 0) {
        return;
    }
    udev_ = std::move(udev);
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PortWatch::TakeUdevEvents);
}

void PortWatch::TakeUdevEvents() {
    // The monitor's socket does not block: take every waiting event, then look once.
    while (struct udev_device* device = udev_monitor_receive_device(udev_->monitor)) {
        udev_device_unref(device);
    }
    Check();
}

void PortWatch::WatchLinkFolder() {
    const std::string& folder = map_.LinkFolder();
    if (folder.empty()) {
        return;
    }
    folderWatch_ = new QFileSystemWatcher(this);
    // Only the folder itself is watched: its parents may be busy shared folders (/tmp, without a
    // runtime folder), where every file made would start a look at the ports. So the folder is
    // made here when missing, and made again if it is removed.
    const auto arm = [this, path = QString::fromStdString(folder)] {
        if (!folderWatch_->directories().contains(path) && MakePrivateFolder(path.toStdString())) {
            folderWatch_->addPath(path);
        }
    };
    arm();
    connect(folderWatch_, &QFileSystemWatcher::directoryChanged, this, [this, arm] {
        arm();
        Check();
    });
}

void PortWatch::UpdatePoll() {
    if (poll_ == nullptr) {
        return;
    }
    const bool needed = !HearsUdev() || AnyLinked(present_);
    if (needed && !poll_->isActive()) {
        poll_->start();
    } else if (!needed) {
        poll_->stop();
    }
}

void PortWatch::Check() {
    std::vector<std::string> now = map_.ListPresent();
    if (now == present_) {
        return;
    }
    present_ = std::move(now);
    UpdatePoll();
    emit PortsChanged();
}

}  // namespace zorvik
