// The port selector: a drop-down list of the serial ports present, bound to a port component.
#pragma once

#include <QComboBox>
#include <QString>
#include <string>
#include <vector>

#include "ports/PortWatch.h"
#include "serial/ComPort.h"
#include "serial/PortMap.h"

namespace zorvik {

// Which setting of the bound port the selector offers; only the port name is used here.
enum class TComProperty {
    cpNone,
    cpPort,
    cpBaudRate,
    cpDataBits,
    cpStopBits,
    cpParity,
    cpFlowControl
};

class TComComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComComboBox(QWidget* parent = nullptr);

    // Binds the port and selects the item equal to its Port; with no such item, nothing.
    void SetComPort(TCustomComPort* port);
    [[nodiscard]] TCustomComPort* ComPort() const { return port_; }

    // cpPort: empties the list, fills it with the present ports, then selects the bound port's
    // item (nothing when it is not listed), or the first item when no port is bound.
    void SetComProperty(TComProperty property, const PortMap& map);
    [[nodiscard]] TComProperty ComProperty() const { return property_; }

    // The selected item's text; empty with nothing selected.
    [[nodiscard]] QString Text() const;
    // Selects the item equal to `text`; with no such item the selection stays as it was.
    void SetText(const QString& text);

    // Keeps the list in line with the ports present as the watch reports them coming and going.
    void WatchPorts(PortWatch& watch);
    // Lists the ports present now. The chosen item stays chosen; a chosen port that went away
    // stays listed until another is picked. With nothing chosen, the bound port's item is chosen
    // once it is listed.
    void RefreshList();

    // The list is brought up to date before it drops down.
    void showPopup() override;

signals:
    // Only when the user picks an item, not when the program selects one.
    void Change();

private:
    void SelectBoundPort();
    void Fill(const std::vector<std::string>& names);

    TCustomComPort* port_ = nullptr;
    TComProperty property_ = TComProperty::cpNone;
    const PortMap* map_ = nullptr;
};

}  // namespace zorvik
