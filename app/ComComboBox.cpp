// The port selector's list, selection and change notice.
#include "app/ComComboBox.h"

#include "app/Controls.h"

#include <QSignalBlocker>
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

TComComboBox::TComComboBox(form::TComComboBox& model, const PortMap& map, QWidget* parent)
    : QComboBox(parent), model_(model), map_(map) {
    setEditable(false);
    // `activated` comes only from the user's pick; the program's selection comes from the model.
    connect(this, &QComboBox::activated, this, [this](int index) {
        model_.UserSelect(index);
        Show();
    });
    Follow(*this, model_, [this] { Show(); });
}

void TComComboBox::Show() {
    QStringList listed;
    for (int i = 0; i < count(); ++i) {
        listed.push_back(itemText(i));
    }
    QStringList wanted;
    for (const std::string& name : model_.Items()) {
        wanted.push_back(QString::fromStdString(name));
    }
    if (listed != wanted) {
        const QSignalBlocker quiet(this);
        clear();
        for (const std::string& name : model_.Items()) {
            addItem(QString::fromStdString(name));
            const auto path = map_.DevicePath(name);
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
    if (currentIndex() != model_.ItemIndex()) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(model_.ItemIndex());
    }
}

void TComComboBox::showPopup() {
    if (BeforeDropDown) {
        BeforeDropDown();
    }
    QComboBox::showPopup();
}

}  // namespace zorvik
