// A window's controls made from its design: one model per control, in the design's order, each
// set to its start state (caption, place in the Tab order aside, range, mask, items, visibility).
// The window's logic takes its members from here by name, and each face finds here the model to
// bind to the native control it made from the same design row.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "form/Controls.h"
#include "form/Design.h"

namespace zorvik::form {

class ControlSet {
public:
    explicit ControlSet(const WindowDesign& design);

    [[nodiscard]] const WindowDesign& Design() const { return design_; }
    // The model of that name, or null.
    [[nodiscard]] TControl* Find(std::string_view name) const;
    // The model of that name and kind; a missing name or another kind is a programming error.
    template <typename T>
    [[nodiscard]] T& Get(std::string_view name) const {
        auto* control = dynamic_cast<T*>(Find(name));
        if (control == nullptr) {
            throw std::logic_error("no control " + std::string(name) + " of that kind in " +
                                   design_.name);
        }
        return *control;
    }
    // Every model with its design row, in the design's order.
    struct Entry {
        const ControlDesign* design;
        TControl* control;
    };
    [[nodiscard]] const std::vector<Entry>& Entries() const { return entries_; }

private:
    const WindowDesign& design_;
    std::vector<std::unique_ptr<TControl>> owned_;
    std::vector<Entry> entries_;
};

// A new model of the design row's kind, in its start state; an up-down is bound to its edit and
// radio buttons to their siblings by the set, once every control exists.
[[nodiscard]] std::unique_ptr<TControl> MakeControl(const ControlDesign& design);

}  // namespace zorvik::form
