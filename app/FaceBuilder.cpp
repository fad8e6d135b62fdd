// Widgets made from design rows, each bound to its model.
#include "app/FaceBuilder.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <stdexcept>

#include "app/ComComboBox.h"
#include "app/Controls.h"
#include "app/FocusOrder.h"
#include "app/MaskEdit.h"

namespace zorvik {

namespace {

constexpr int kCaptionLeftSpare = 4;  // room between a left caption and its box

QString Name(const ControlDesign& row) {
    return QString::fromLatin1(row.name);
}

// A label as tall as its font, except that an accent on a capital ("Ś") may rise above the
// font's ascent: such a label grows upwards by as much, with its text at the bottom, so the
// letters stay where they were and the accent shows.
void PlaceLabel(QLabel& label, const ControlDesign& row) {
    if (row.fontPixels > 0) {
        QFont larger = label.font();
        larger.setPixelSize(row.fontPixels);
        label.setFont(larger);
    }
    if (row.width > 0) {
        label.setGeometry(row.left, row.top, row.width, row.height);
        return;
    }
    label.move(row.left, row.top);
    label.adjustSize();
    const QFontMetrics metrics(label.font());
    const int above = -metrics.tightBoundingRect(label.text()).top() - metrics.ascent();
    if (above > 0) {
        label.setGeometry(row.left, row.top - above, label.width(), label.height() + above);
        label.setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    }
}

}  // namespace

QtFace::QtFace(const form::ControlSet& controls, QWidget& client, QMenuBar* menuBar,
               const PortMap* ports)
    : controls_(controls), client_(client), menuBar_(menuBar), ports_(ports) {
    for (const form::ControlSet::Entry& entry : controls.Entries()) {
        Build(*entry.design, *entry.control);
    }
}

QObject* QtFace::Find(std::string_view name) const {
    const auto found = made_.find(name);
    return found != made_.end() ? found->second : nullptr;
}

QWidget* QtFace::ParentOf(const ControlDesign& row) const {
    if (row.parent == std::string_view(controls_.Design().name)) {
        return &client_;
    }
    auto* parent = qobject_cast<QWidget*>(Find(row.parent));
    if (parent == nullptr) {
        throw std::logic_error(std::string("no parent widget for ") + row.name);
    }
    return parent;
}

void QtFace::Build(const ControlDesign& row, form::TControl& model) {
    QObject* made = nullptr;
    const QRect place(row.left, row.top, row.width, row.height);
    switch (row.kind) {
        case ControlKind::Menu: {
            auto& menuModel = static_cast<form::TMenuItem&>(model);
            QMenu* menu = menuBar_->addMenu(ToQt(menuModel.Caption()));
            made = menu;
            break;
        }
        case ControlKind::MenuItem: {
            auto& item = static_cast<form::TMenuItem&>(model);
            auto* menu = qobject_cast<QMenu*>(Find(row.parent));
            QAction* action = menu->addAction(ToQt(item.Caption()));
            QObject::connect(action, &QAction::triggered, action, [&item] { item.UserClick(); });
            item.SetView([action, &item] {
                action->setText(ToQt(item.Caption()));
                action->setEnabled(item.Enabled());
                action->setVisible(item.Visible());
            });
            QObject::connect(action, &QObject::destroyed, [&item] { item.SetView({}); });
            made = action;
            break;
        }
        case ControlKind::Label: {
            auto& labelModel = static_cast<form::TLabel&>(model);
            auto* label = new QLabel(ToQt(labelModel.Caption()), ParentOf(row));
            PlaceLabel(*label, row);
            Follow(*label, labelModel, [label, &labelModel] {
                label->setText(ToQt(labelModel.Caption()));
                label->setToolTip(ToQt(labelModel.Hint()));
            });
            made = label;
            break;
        }
        case ControlKind::Button: {
            auto& buttonModel = static_cast<form::TButton&>(model);
            auto* button = new QPushButton(ToQt(buttonModel.Caption()), ParentOf(row));
            button->setGeometry(place);
            QObject::connect(button, &QPushButton::clicked, button,
                             [&buttonModel] { buttonModel.UserClick(); });
            Follow(*button, buttonModel,
                   [button, &buttonModel] { button->setText(ToQt(buttonModel.Caption())); });
            made = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto& boxModel = static_cast<form::TCheckBox&>(model);
            auto* box = new TCheckBox(boxModel, ParentOf(row));
            const int spare = boxModel.CaptionLeft() ? kCaptionLeftSpare : 0;
            const int width = row.width > 0 ? row.width : box->sizeHint().width() + spare;
            box->setGeometry(row.left, row.top, width, row.height);
            made = box;
            break;
        }
        case ControlKind::RadioButton: {
            auto* button = new TRadioButton(static_cast<form::TRadioButton&>(model), ParentOf(row));
            button->setGeometry(row.left, row.top, button->sizeHint().width(), row.height);
            made = button;
            break;
        }
        case ControlKind::RadioGroup: {
            auto* group = new TRadioGroup(static_cast<form::TRadioGroup&>(model), ParentOf(row));
            group->setGeometry(place);
            made = group;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new TEdit(static_cast<form::TEdit&>(model), ParentOf(row));
            edit->setGeometry(place);
            made = edit;
            break;
        }
        case ControlKind::MaskEdit: {
            auto* edit = new TMaskEdit(static_cast<form::TMaskEdit&>(model), ParentOf(row));
            edit->setGeometry(place);
            made = edit;
            break;
        }
        case ControlKind::UpDown: {
            auto* upDown = new TUpDown(static_cast<form::TUpDown&>(model), ParentOf(row));
            upDown->SetAssociate(Get<QLineEdit>(row.associate));
            made = upDown;
            break;
        }
        case ControlKind::GroupBox: {
            auto& groupModel = static_cast<form::TGroupBox&>(model);
            auto* group = new TGroupBox(ToQt(groupModel.Caption()), ParentOf(row));
            group->setGeometry(place);
            Follow(*group, groupModel,
                   [group, &groupModel] { group->setTitle(ToQt(groupModel.Caption())); });
            made = group;
            break;
        }
        case ControlKind::Panel: {
            auto* panel = new TPanel(ParentOf(row));
            panel->setGeometry(place);
            Follow(*panel, model, {});
            made = panel;
            break;
        }
        case ControlKind::TabControl: {
            auto* tabs = new TTabControl(static_cast<form::TTabControl&>(model), ParentOf(row));
            tabs->setGeometry(place);
            made = tabs;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new TListBox(static_cast<form::TListBox&>(model), ParentOf(row));
            list->setGeometry(place);
            made = list;
            break;
        }
        case ControlKind::ComComboBox: {
            if (ports_ == nullptr) {
                throw std::logic_error("a port selector needs the port map");
            }
            auto* selector =
                new TComComboBox(static_cast<form::TComComboBox&>(model), *ports_, ParentOf(row));
            selector->setGeometry(place);
            made = selector;
            break;
        }
        case ControlKind::ProgressBar: {
            auto& barModel = static_cast<form::TProgressBar&>(model);
            auto* bar = new QProgressBar(ParentOf(row));
            bar->setGeometry(place);
            Follow(*bar, barModel, [bar, &barModel] {
                bar->setRange(barModel.Min(), barModel.Max());
                bar->setValue(barModel.Position());
            });
            made = bar;
            break;
        }
        case ControlKind::Image: {
            auto* image = new QLabel(ParentOf(row));
            image->setGeometry(place);
            Follow(*image, model, {});
            made = image;
            break;
        }
    }
    made->setObjectName(Name(row));
    if (auto* widget = qobject_cast<QWidget*>(made); widget != nullptr && *row.spokenName != '\0') {
        NameControls({{widget, QString::fromUtf8(row.spokenName)}});
    }
    made_.emplace(row.name, made);
}

}  // namespace zorvik
