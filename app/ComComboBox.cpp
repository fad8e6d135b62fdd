// The port selector's list, selection and change notice.
#include "app/ComComboBox.h"

#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

namespace zorvik {

namespace {

// Where a link leads, for the tooltip of a linked port; empty when it is not a link.
QString LinkTarget(const std::string& path) {
    const auto target = ReadLink(path);
    return target ? QString::fromLocal8Bit(*target) : QString();
}

}  // namespace

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    // `activated` comes only from the user's pick; programmatic selection stays silent.
    connect(this, &QComboBox::activated, this, [this](int) { emit Change(); });
}

void TComComboBox::SetComPort(TCustomComPort* port) {
    port_ = port;
    if (port_ != nullptr) {
        SelectBoundPort();
    }
}

void TComComboBox::SetComProperty(TComProperty property, const PortMap& map) {
    property_ = property;
    if (property_ != TComProperty::cpPort) {
        return;
    }
    map_ = &map;
    std::vector<std::string> names;
    ListSerialPorts(map, names);
    Fill(names);
    if (count() == 0) {
        return;
    }
    if (port_ == nullptr) {
        setCurrentIndex(0);
    } else {
        SelectBoundPort();
    }
}

void TComComboBox::Fill(const std::vector<std::string>& names) {
    clear();
    for (const std::string& name : names) {
        addItem(QString::fromStdString(name));
        const auto path = map_->DevicePath(name);
        if (!path) {
            continue;
        }
        QString tip = QString::fromStdString(*path);
        // A linked name says little by its own path; show where the link leads as well.
        const auto number = PortMap::ComNumber(name);
        if (number && PortMap::Linked(*number)) {
            if (const QString target = LinkTarget(*path); !target.isEmpty()) {
                tip += QStringLiteral(" → ") + target;
            }
        }
        setItemData(count() - 1, tip, Qt::ToolTipRole);
    }
}

void TComComboBox::WatchPorts(PortWatch& watch) {
    connect(&watch, &PortWatch::PortsChanged, this, &TComComboBox::RefreshList);
}

void TComComboBox::RefreshList() {
    if (property_ != TComProperty::cpPort || map_ == nullptr) {
        return;
    }
    const QString chosen = Text();
    std::vector<std::string> names;
    ListSerialPorts(*map_, names);
    if (!chosen.isEmpty() &&
        std::find(names.begin(), names.end(), chosen.toStdString()) == names.end()) {
        names.push_back(chosen.toStdString());
        SortPortNames(names);
    }
    QStringList listed;
    for (int i = 0; i < count(); ++i) {
        listed.push_back(itemText(i));
    }
    QStringList wanted;
    for (const std::string& name : names) {
        wanted.push_back(QString::fromStdString(name));
    }
    if (listed == wanted) {
        return;
    }
    // Refilling selects by program, which the main window's change handler never hears.
    Fill(names);
    if (!chosen.isEmpty()) {
        SetText(chosen);
    } else if (port_ != nullptr) {
        SelectBoundPort();
    }
}

void TComComboBox::showPopup() {
    RefreshList();
    QComboBox::showPopup();
}

void TComComboBox::SelectBoundPort() {
    setCurrentIndex(
        findText(QString::fromStdString(port_->Port()), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

QString TComComboBox::Text() const {
    const int index = currentIndex();
    return index >= 0 ? itemText(index) : QString();
}

void TComComboBox::SetText(const QString& text) {
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        setCurrentIndex(index);
    }
}

}  // namespace zorvik
