// Notices serial ports coming and going while the program runs: adapters plugged in or pulled
// out, and links added to or removed from the port folder.
#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "serial/PortMap.h"

class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;

namespace zorvik {

class PortWatch : public QObject {
    Q_OBJECT

public:
    // Where the news comes from. A test turns them all off and calls Check itself.
    struct Sources {
        bool udev = true;        // the tty devices' events, where udev runs on this machine
        bool linkFolder = true;  // links appearing in or leaving the port folder (made if missing)
        int pollMs = 1000;       // how often the map is looked at without udev; 0: never
    };

    PortWatch(const PortMap& map, Sources sources, QObject* parent = nullptr);
    ~PortWatch() override;

    // Whether udev's tty events reach the watch.
    [[nodiscard]] bool HearsUdev() const { return notifier_ != nullptr; }
    // The ports present when last looked at.
    [[nodiscard]] const std::vector<std::string>& Present() const { return present_; }

    // Looks at the port map and announces PortsChanged when the present ports differ from the
    // last look.
    void Check();

signals:
    void PortsChanged();

private:
    struct Udev;

    void WatchUdev();
    void WatchLinkFolder();
    void TakeUdevEvents();
    void UpdatePoll();

    const PortMap& map_;
    Sources sources_;
    std::vector<std::string> present_;
    std::unique_ptr<Udev> udev_;
    QSocketNotifier* notifier_ = nullptr;
    QFileSystemWatcher* folderWatch_ = nullptr;
    QTimer* poll_ = nullptr;
};

}  // namespace zorvik
