// The port selector: a drop-down list showing its model's ports, each with its device as a tip.
#pragma once

#include <QComboBox>
#include <QString>
#include <functional>

#include "form/Controls.h"
#include "serial/PortMap.h"

namespace zorvik {

class TComComboBox : public QComboBox {
    Q_OBJECT

public:
    // `map` says where each listed port leads, for its tip.
    TComComboBox(form::TComComboBox& model, const PortMap& map, QWidget* parent);

    [[nodiscard]] form::TComComboBox& Model() const { return model_; }
    // The selected item's text; empty with nothing selected.
    [[nodiscard]] QString Text() const { return QString::fromStdString(model_.Text()); }

    // Asked before the list drops down, so that it shows the ports present then.
    std::function<void()> BeforeDropDown;

    void showPopup() override;

private:
    void Show();

    form::TComComboBox& model_;
    const PortMap& map_;
};

}  // namespace zorvik
