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

// The widget at the row's place and size.
template <typename Widget>
Widget* Placed(Widget* widget, const ControlDesign& row) {
    widget->setGeometry(row.left, row.top, row.width, row.height);
    return widget;
}

QAction* MakeMenuItem(QMenu& menu, form::TMenuItem& item) {
    QAction* action = menu.addAction(ToQt(item.Caption()));
    QObject::connect(action, &QAction::triggered, action, [&item] { item.UserClick(); });
    item.SetView([action, &item] {
        action->setText(ToQt(item.Caption()));
        action->setEnabled(item.Enabled());
        action->setVisible(item.Visible());
    });
    QObject::connect(action, &QObject::destroyed, [&item] { item.SetView({}); });
    return action;
}

QWidget* MakeLabel(const ControlDesign& row, form::TLabel& model, QWidget* parent) {
    auto* label = new QLabel(ToQt(model.Caption()), parent);
    PlaceLabel(*label, row);
    Follow(*label, model, [label, &model] {
        label->setText(ToQt(model.Caption()));
        label->setToolTip(ToQt(model.Hint()));
    });
    return label;
}

QWidget* MakeButton(const ControlDesign& row, form::TButton& model, QWidget* parent) {
    auto* button = Placed(new QPushButton(ToQt(model.Caption()), parent), row);
    QObject::connect(button, &QPushButton::clicked, button, [&model] { model.UserClick(); });
    Follow(*button, model, [button, &model] { button->setText(ToQt(model.Caption())); });
    return button;
}

// A check box or radio button is as wide as its caption needs, unless the design sizes it.
template <typename Box>
Box* WideAsItsCaption(Box* box, const ControlDesign& row, int spare) {
    const int width = row.width > 0 ? row.width : box->sizeHint().width() + spare;
    box->setGeometry(row.left, row.top, width, row.height);
    return box;
}

QWidget* MakeGroupBox(const ControlDesign& row, form::TGroupBox& model, QWidget* parent) {
    auto* group = Placed(new TGroupBox(ToQt(model.Caption()), parent), row);
    Follow(*group, model, [group, &model] { group->setTitle(ToQt(model.Caption())); });
    return group;
}

QWidget* MakeProgressBar(const ControlDesign& row, form::TProgressBar& model, QWidget* parent) {
    auto* bar = Placed(new QProgressBar(parent), row);
    Follow(*bar, model, [bar, &model] {
        bar->setRange(model.Min(), model.Max());
        bar->setValue(model.Position());
    });
    return bar;
}

// A widget of the row's kind, other than a menu, an up-down or the port selector.
QWidget* MakeWidget(const ControlDesign& row, form::TControl& model, QWidget* parent) {
    switch (row.kind) {
        case ControlKind::Label:
            return MakeLabel(row, static_cast<form::TLabel&>(model), parent);
        case ControlKind::Button:
            return MakeButton(row, static_cast<form::TButton&>(model), parent);
        case ControlKind::CheckBox: {
            auto& box = static_cast<form::TCheckBox&>(model);
            return WideAsItsCaption(new TCheckBox(box, parent), row,
                                    box.CaptionLeft() ? kCaptionLeftSpare : 0);
        }
        case ControlKind::RadioButton:
            return WideAsItsCaption(
                new TRadioButton(static_cast<form::TRadioButton&>(model), parent), row, 0);
        case ControlKind::RadioGroup:
            return Placed(new TRadioGroup(static_cast<form::TRadioGroup&>(model), parent), row);
        case ControlKind::Edit:
            return Placed(new TEdit(static_cast<form::TEdit&>(model), parent), row);
        case ControlKind::MaskEdit:
            return Placed(new TMaskEdit(static_cast<form::TMaskEdit&>(model), parent), row);
        case ControlKind::GroupBox:
            return MakeGroupBox(row, static_cast<form::TGroupBox&>(model), parent);
        case ControlKind::TabControl:
            return Placed(new TTabControl(static_cast<form::TTabControl&>(model), parent), row);
        case ControlKind::ListBox:
            return Placed(new TListBox(static_cast<form::TListBox&>(model), parent), row);
        case ControlKind::ProgressBar:
            return MakeProgressBar(row, static_cast<form::TProgressBar&>(model), parent);
        case ControlKind::Panel:
        case ControlKind::Image: {
            QWidget* plain = row.kind == ControlKind::Panel
                                 ? static_cast<QWidget*>(new TPanel(parent))
                                 : new QLabel(parent);
            Follow(*Placed(plain, row), model, {});
            return plain;
        }
        case ControlKind::Menu:
        case ControlKind::MenuItem:
        case ControlKind::UpDown:
        case ControlKind::ComComboBox:
            break;
    }
    throw std::logic_error(std::string("no widget for ") + row.name);
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
    if (row.kind == ControlKind::Menu) {
        made = menuBar_->addMenu(ToQt(static_cast<form::TMenuItem&>(model).Caption()));
    } else if (row.kind == ControlKind::MenuItem) {
        made = MakeMenuItem(*qobject_cast<QMenu*>(Find(row.parent)),
                            static_cast<form::TMenuItem&>(model));
    } else if (row.kind == ControlKind::UpDown) {
        auto* upDown = new TUpDown(static_cast<form::TUpDown&>(model), ParentOf(row));
        upDown->SetAssociate(Get<QLineEdit>(row.associate));
        made = upDown;
    } else if (row.kind == ControlKind::ComComboBox) {
        if (ports_ == nullptr) {
            throw std::logic_error("a port selector needs the port map");
        }
        made = Placed(
            new TComComboBox(static_cast<form::TComComboBox&>(model), *ports_, ParentOf(row)), row);
    } else {
        made = MakeWidget(row, model, ParentOf(row));
    }
    made->setObjectName(Name(row));
    if (auto* widget = qobject_cast<QWidget*>(made); widget != nullptr && *row.spokenName != '\0') {
        NameControls({{widget, QString::fromUtf8(row.spokenName)}});
    }
    made_.emplace(row.name, made);
}

}  // namespace zorvik
