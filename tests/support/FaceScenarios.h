// One table of what a user does on the main window and what it shows then, for both faces: run
// on the Qt window and on the Windows window, each step done through the native controls and each
// result read back from them and from the window's logic, it shows the two windows behave alike.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/Form1.h"

namespace zorvik::testing {

// A face's hands and eyes on its main window, by the controls' names.
class FaceWindow {
public:
    virtual ~FaceWindow() = default;
    [[nodiscard]] virtual form::TForm1& Logic() = 0;
    // A button, a check box or a radio button.
    virtual void Click(std::string_view name) = 0;
    // A page, a list entry, a radio group's item or a port.
    virtual void Pick(std::string_view name, int index) = 0;
    // The entry of that text in a drop-down list, once the list is open.
    virtual void Choose(std::string_view name, std::u16string_view entry) = 0;
    // Selects all of an edit and types the keys one by one.
    virtual void Type(std::string_view name, std::u16string_view keys) = 0;
    // An up-down's arrow: +1 up, -1 down.
    virtual void Step(std::string_view name, int by) = 0;

    // What the native control shows.
    [[nodiscard]] virtual std::u16string Text(std::string_view name) = 0;
    [[nodiscard]] virtual CheckState Check(std::string_view name) = 0;
    [[nodiscard]] virtual int Index(std::string_view name) = 0;  // -1 for none
    [[nodiscard]] virtual bool ReadOnly(std::string_view name) = 0;
};

// Runs every scenario, each on a window `open` makes afresh.
void RunFaceScenarios(const std::function<std::unique_ptr<FaceWindow>()>& open);

}  // namespace zorvik::testing
