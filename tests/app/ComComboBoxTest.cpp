// The port selector: its list, its selection, and when it announces a change.
#include "app/ComComboBox.h"
#include "ports/PortWatch.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "form/Controls.h"
#include "tests/support/TempTree.h"

namespace zorvik {
namespace {

using testing::TempTree;

QStringList ListedItems(const TComComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

// COM1, COM3, COM10 and COM41 present; the model lists them as the window's logic does.
class PortList : public ::testing::Test {
protected:
    PortList() {
        tree_.Uart(2, "/dev/null", "4");
        tree_.Link("dev/ttyUSB1", "/dev/null");
        tree_.Uart(0, "/dev/null", "4");
        tree_.Link("links/COM41", "/dev/null");
        std::vector<std::string> names;
        ListSerialPorts(map_, names);
        model_.SetPorts(names);
        model_.OnChange = [this] { ++changes_; };
    }

    TempTree tree_;
    PortMap map_ = tree_.Map();
    form::TComComboBox model_{"ComComboBox1"};
    TComComboBox box_{model_, map_, nullptr};
    int changes_ = 0;
};

TEST_F(PortList, ShowsTheModelsPortsEachWithItsDevicePathAsTooltip) {
    EXPECT_EQ(ListedItems(box_), (QStringList{"COM1", "COM10", "COM3", "COM41"}));
    EXPECT_FALSE(box_.isEditable());
    EXPECT_EQ(box_.itemData(0, Qt::ToolTipRole).toString().toStdString(), tree_.Dev() + "/ttyS0");
    EXPECT_EQ(box_.itemData(1, Qt::ToolTipRole).toString().toStdString(), tree_.Dev() + "/ttyUSB1");
    const QString linked = box_.itemData(3, Qt::ToolTipRole).toString();
    EXPECT_EQ(linked.toStdString(), tree_.Links() + "/COM41 → /dev/null");
    model_.SetPorts({"COM3"});
    EXPECT_EQ(ListedItems(box_), (QStringList{"COM3"}));
}

TEST_F(PortList, OnlyTheUsersPickIsAChange) {
    model_.SetText("COM1");
    EXPECT_EQ(box_.currentIndex(), 0);
    EXPECT_EQ(changes_, 0) << "the program's selection";
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&box_, &down);
    EXPECT_EQ(changes_, 1);
    EXPECT_EQ(model_.Text(), "COM10");
}

TEST_F(PortList, OpeningTheListAsksForThePortsPresentThen) {
    int asked = 0;
    box_.BeforeDropDown = [&asked] { ++asked; };
    box_.showPopup();
    box_.hidePopup();
    EXPECT_EQ(asked, 1);
}

TEST(PortWatchFolder, AMissingPortFolderIsMadePrivateAndALinkPutInItIsNoticed) {
    TempTree tree;
    const std::string run = tree.Root() + "/run";
    const std::string folder = run + "/zorvik-gsm/ports";
    const PortMap map(PortMap::Roots{tree.Dev(), tree.Sys(), folder});
    PortWatch watch(map, PortWatch::Sources{false, true, 0});
    for (const std::string& made : {run, run + "/zorvik-gsm", folder}) {
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << made;
    }
    int changes = 0;
    QObject::connect(&watch, &PortWatch::PortsChanged, [&changes] { ++changes; });
    tree.Link("run/zorvik-gsm/ports/COM41", "/dev/null");
    // Generous: the notice comes through the event loop of a possibly loaded machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (changes == 0 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(watch.Present(), std::vector<std::string>{"COM41"});
}

}  // namespace
}  // namespace zorvik
