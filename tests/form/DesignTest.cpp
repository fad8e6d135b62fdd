// What holds for every window's design: unique names, parents before children and around them,
// every field named for a screen reader, one Tab order, each up-down beside its edit; and the
// pictures' shapes within their pictures.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "form/Artwork.h"
#include "form/Design.h"

namespace zorvik {
namespace {

const WindowDesign* const kWindows[] = {&Form1Design(), &Form2Design(), &Form3Design(),
                                        &Form4Design()};

bool IsField(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::MaskEdit ||
           kind == ControlKind::UpDown || kind == ControlKind::ListBox ||
           kind == ControlKind::ComComboBox;
}

TEST(Design, EachWindowNamesEveryControlOnceAndPlacesItInsideItsParent) {
    for (const WindowDesign* window : kWindows) {
        SCOPED_TRACE(window->name);
        std::set<std::string> seen;
        for (const ControlDesign& control : window->controls) {
            SCOPED_TRACE(control.name);
            EXPECT_TRUE(seen.insert(control.name).second) << "named twice";
            const bool onWindow = window->name == std::string(control.parent);
            const ControlDesign* parent = FindControl(*window, control.parent);
            ASSERT_TRUE(onWindow || parent != nullptr) << "a parent that is not there";
            EXPECT_TRUE(onWindow || seen.count(control.parent) == 1) << "a child before its parent";
            if (control.kind == ControlKind::Menu || control.kind == ControlKind::MenuItem) {
                continue;
            }
            const int width = onWindow ? window->clientWidth : parent->width;
            const int height = onWindow ? window->clientHeight : parent->height;
            EXPECT_GE(control.left, 0);
            EXPECT_GE(control.top, 0);
            EXPECT_LE(control.left + control.width, width);
            EXPECT_LE(control.top + control.height, height);
        }
    }
}

TEST(Design, EveryFieldHasANameAScreenReaderSays) {
    for (const WindowDesign* window : kWindows) {
        for (const ControlDesign& control : window->controls) {
            if (IsField(control.kind) && control.kind != ControlKind::Edit) {
                EXPECT_STRNE(control.spokenName, "") << window->name << "." << control.name;
            }
        }
        // An edit is named by itself or by the up-down bound to it.
        for (const ControlDesign& control : window->controls) {
            if (control.kind != ControlKind::Edit) {
                continue;
            }
            bool named = std::string(control.spokenName) != "";
            for (const ControlDesign& other : window->controls) {
                named = named || (other.kind == ControlKind::UpDown &&
                                  std::string(other.associate) == control.name &&
                                  std::string(other.spokenName) != "");
            }
            EXPECT_TRUE(named) << window->name << "." << control.name;
        }
    }
}

TEST(Design, TabVisitsEachFocusableControlOnceInOneOrder) {
    for (const WindowDesign* window : kWindows) {
        SCOPED_TRACE(window->name);
        std::set<int> orders;
        int count = 0;
        for (const ControlDesign& control : window->controls) {
            if (control.tabOrder >= 0) {
                EXPECT_TRUE(orders.insert(control.tabOrder).second) << control.name;
                ++count;
            }
        }
        if (count > 0) {
            EXPECT_EQ(*orders.begin(), 0);
            EXPECT_EQ(*orders.rbegin(), count - 1) << "a gap in the order";
        }
    }
}

TEST(Design, EachUpDownStandsBesideItsEditWithItsStartWithinItsRange) {
    for (const ControlDesign& upDown : Form1Design().controls) {
        if (upDown.kind != ControlKind::UpDown) {
            continue;
        }
        SCOPED_TRACE(upDown.name);
        const ControlDesign* edit = FindControl(Form1Design(), upDown.associate);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->kind, ControlKind::Edit);
        EXPECT_STREQ(edit->parent, upDown.parent);
        EXPECT_TRUE(edit->readOnly) << "only the arrows change a spin box";
        EXPECT_LE(upDown.min, upDown.position);
        EXPECT_LE(upDown.position, upDown.max);
        EXPECT_GE(upDown.increment, 0);
    }
}

TEST(Design, MenuKeysAreMenuItemsOwnAndEachWindowUsesAKeyOnce) {
    for (const WindowDesign* window : kWindows) {
        std::set<std::string> keys;
        for (const ControlDesign& control : window->controls) {
            const std::string key = control.shortcut;
            if (key.empty()) {
                continue;
            }
            EXPECT_EQ(control.kind, ControlKind::MenuItem) << control.name;
            EXPECT_TRUE(keys.insert(key).second) << window->name << " uses " << key << " twice";
            const bool ctrlLetter =
                key.size() == 6 && key.rfind("Ctrl+", 0) == 0 && key[5] >= 'A' && key[5] <= 'Z';
            const bool functionKey = key.size() >= 2 && key[0] == 'F' &&
                                     std::stoi(key.substr(1)) >= 1 &&
                                     std::stoi(key.substr(1)) <= 12;
            EXPECT_TRUE(ctrlLetter || functionKey) << key;
        }
    }
}

// Both faces paint these shapes as they are: none may reach past the picture, at the about box's
// size, scaled up for a high-DPI screen, or as the smallest icon.
TEST(Artwork, EveryShapeLiesWithinItsPicture) {
    const ControlDesign& image = *FindControl(Form4Design(), "Image1");
    struct Picture {
        double width, height;
        std::vector<ArtShape> shapes;
    };
    const Picture pictures[] = {
        {1.0 * image.width, 1.0 * image.height, AboutPictureShapes(image.width, image.height)},
        {2.0 * image.width, 2.0 * image.height,
         AboutPictureShapes(2.0 * image.width, 2.0 * image.height)},
        {16, 16, IconShapes(16)},
    };
    for (const Picture& picture : pictures) {
        for (const ArtShape& shape : picture.shapes) {
            EXPECT_GE(shape.left, 0);
            EXPECT_GE(shape.top, 0);
            EXPECT_LE(shape.left + shape.width, picture.width);
            EXPECT_LE(shape.top + shape.height, picture.height);
            EXPECT_LE(shape.textPixels, shape.height);
        }
    }
}

}  // namespace
}  // namespace zorvik
