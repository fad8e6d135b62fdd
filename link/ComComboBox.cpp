// The port selector's list, selection and change notice.
#include "link/ComComboBox.h"

#include <unistd.h>

#include <array>
#include <string>
#include <vector>

namespace zorvik {

namespace {

// Where a link leads, for the tooltip of a linked port; empty when it is not a link.
QString LinkTarget(const std::string& path) {
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size() - 1);
    if (n <= 0) {
        return {};
    }
    return QString::fromLocal8Bit(target.data(), static_cast<qsizetype>(n));
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
    clear();
    std::vector<std::string> names;
    ListSerialPorts(map, names);
    for (const std::string& name : names) {
        addItem(QString::fromStdString(name));
        const auto path = map.DevicePath(name);
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
    if (count() == 0) {
        return;
    }
    if (port_ == nullptr) {
        setCurrentIndex(0);
    } else {
        SelectBoundPort();
    }
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
