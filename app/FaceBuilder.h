// The Qt face of one window: a widget for each control of the window's design, placed where its
// row says under its parent and bound to its model, found again by name.
#pragma once

#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "form/ControlSet.h"

class QMenuBar;
class QObject;
class QWidget;

namespace zorvik {

class PortMap;

class QtFace {
public:
    // Builds every control of `controls` under `client` (the window's own controls) and, for
    // menus, on `menuBar`. `ports` gives the port selector the devices behind its names.
    QtFace(const form::ControlSet& controls, QWidget& client, QMenuBar* menuBar,
           const PortMap* ports = nullptr);

    // The widget, action or menu of that name, or null.
    [[nodiscard]] QObject* Find(std::string_view name) const;
    template <typename T>
    [[nodiscard]] T* Get(std::string_view name) const {
        return qobject_cast<T*>(Find(name));
    }

private:
    void Build(const ControlDesign& row, form::TControl& model);
    [[nodiscard]] QWidget* ParentOf(const ControlDesign& row) const;

    const form::ControlSet& controls_;
    QWidget& client_;
    QMenuBar* menuBar_;
    const PortMap* ports_;
    std::map<std::string, QObject*, std::less<>> made_;
};

}  // namespace zorvik
