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

#include "tests/support/TempTree.h"

namespace zorvik {
namespace {

using testing::TempTree;

// A port that only carries a name; the selector never opens it.
class NamedPort : public TCustomComPort {
public:
    explicit NamedPort(std::string name) : TCustomComPort(std::move(name)) {}

protected:
    void DoOpen(const std::string&) override {}
    void DoClose() override {}
    int DoWrite(const std::uint8_t*, int count) override { return count; }
    int DoRead(std::uint8_t*, int) override { return 0; }
    bool DoWaitForInput(int) override { return false; }
};

// Counts the selector's change notices.
class ChangeCounter {
public:
    explicit ChangeCounter(TComComboBox& box)
        : connection_(QObject::connect(&box, &TComComboBox::Change, [this] { ++count_; })) {}
    ~ChangeCounter() { QObject::disconnect(connection_); }
    ChangeCounter(const ChangeCounter&) = delete;
    ChangeCounter& operator=(const ChangeCounter&) = delete;
    [[nodiscard]] int count() const { return count_; }

private:
    int count_ = 0;
    QMetaObject::Connection connection_;
};

QStringList Items(const TComComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

// COM1, COM3, COM10 and COM41 present, filled in the order a directory listing would not give.
class PortSelector : public ::testing::Test {
protected:
    PortSelector() {
        tree_.Uart(2, "/dev/null", "4");
        tree_.Link("dev/ttyUSB1", "/dev/null");
        tree_.Uart(0, "/dev/null", "4");
        tree_.Link("links/COM41", "/dev/null");
    }

    TempTree tree_;
    TComComboBox box_;
};

TEST_F(PortSelector, FillsWithThePresentPortsSortedIgnoringCase) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(Items(box_), (QStringList{"COM1", "COM10", "COM3", "COM41"}));
    EXPECT_FALSE(box_.isEditable());

    // Filling again replaces the list rather than adding to it.
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(box_.count(), 4);
}

TEST_F(PortSelector, EachEntryShowsItsDevicePathAsTooltip) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(box_.itemData(0, Qt::ToolTipRole).toString().toStdString(), tree_.Dev() + "/ttyS0");
    EXPECT_EQ(box_.itemData(1, Qt::ToolTipRole).toString().toStdString(), tree_.Dev() + "/ttyUSB1");
    const QString linked = box_.itemData(3, Qt::ToolTipRole).toString();
    EXPECT_EQ(linked.toStdString(), tree_.Links() + "/COM41 → /dev/null");
}

TEST_F(PortSelector, FillingSelectsTheFirstItemWhenNoPortIsBound) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(box_.Text(), QStringLiteral("COM1"));
}

TEST_F(PortSelector, FillingSelectsTheBoundPortsItemOrNothing) {
    NamedPort listed("COM3");
    box_.SetComPort(&listed);
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(box_.Text(), QStringLiteral("COM3"));

    NamedPort unlisted("COM10 ");
    TComComboBox other;
    other.SetComPort(&unlisted);
    other.SetComProperty(TComProperty::cpPort, tree_.Map());
    EXPECT_EQ(other.currentIndex(), -1);
    EXPECT_TRUE(other.Text().isEmpty());
}

TEST_F(PortSelector, BindingSelectsTheEqualItemOrNothing) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    NamedPort listed("COM10");
    box_.SetComPort(&listed);
    EXPECT_EQ(box_.Text(), QStringLiteral("COM10"));

    NamedPort unlisted("COM9");
    box_.SetComPort(&unlisted);
    EXPECT_EQ(box_.currentIndex(), -1);
    EXPECT_EQ(box_.Text(), QString());
}

TEST_F(PortSelector, SetTextSelectsOnlyAnExactlyEqualItem) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    box_.SetText(QStringLiteral("COM41"));
    EXPECT_EQ(box_.Text(), QStringLiteral("COM41"));
    for (const char* unlisted : {"COM9", "com3", "COM4", ""}) {
        box_.SetText(QString::fromLatin1(unlisted));
        EXPECT_EQ(box_.Text(), QStringLiteral("COM41")) << unlisted;
    }
}

TEST_F(PortSelector, NoPortsGivesAnEmptyListAndNoSelection) {
    TempTree empty;
    box_.SetComProperty(TComProperty::cpPort, empty.Map());
    EXPECT_EQ(box_.count(), 0);
    EXPECT_EQ(box_.Text(), QString());
    box_.SetText(QStringLiteral("COM1"));
    EXPECT_EQ(box_.Text(), QString());
}

TEST_F(PortSelector, UserPickAnnouncesAChange) {
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    ChangeCounter changes(box_);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&box_, &down);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(box_.Text(), QStringLiteral("COM10"));
}

TEST_F(PortSelector, ProgramSelectionAnnouncesNothing) {
    ChangeCounter changes(box_);
    NamedPort port("COM3");
    box_.SetComProperty(TComProperty::cpPort, tree_.Map());
    box_.SetComPort(&port);
    box_.SetText(QStringLiteral("COM41"));
    box_.SetText(QStringLiteral("COM1"));
    EXPECT_EQ(box_.Text(), QStringLiteral("COM1"));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(PortSelector, FollowsPortsComingAndGoingAndKeepsTheChosenOneWhileItIsAway) {
    const PortMap map = tree_.Map();
    box_.SetComProperty(TComProperty::cpPort, map);
    PortWatch watch(map, PortWatch::Sources{false, false, 0});
    box_.WatchPorts(watch);
    box_.SetText(QStringLiteral("COM10"));
    ChangeCounter changes(box_);

    tree_.Link("dev/ttyUSB3", "/dev/null");  // COM12 plugged in
    watch.Check();
    EXPECT_EQ(Items(box_), (QStringList{"COM1", "COM10", "COM12", "COM3", "COM41"}));
    EXPECT_EQ(box_.Text(), QStringLiteral("COM10"));

    // The chosen adapter pulled out: still shown and chosen, until another is picked.
    std::filesystem::remove(tree_.Dev() + "/ttyUSB1");
    std::filesystem::remove(tree_.Links() + "/COM41");
    watch.Check();
    EXPECT_EQ(Items(box_), (QStringList{"COM1", "COM10", "COM12", "COM3"}));
    EXPECT_EQ(box_.Text(), QStringLiteral("COM10"));
    box_.SetText(QStringLiteral("COM3"));
    box_.RefreshList();
    EXPECT_EQ(Items(box_), (QStringList{"COM1", "COM12", "COM3"}));
    EXPECT_EQ(box_.Text(), QStringLiteral("COM3"));
    EXPECT_EQ(changes.count(), 0) << "the program's refills are not the user's picks";

    // Opening the list looks again, with or without news from the watch.
    tree_.Link("links/COM42", "/dev/null");
    box_.showPopup();
    box_.hidePopup();
    EXPECT_EQ(Items(box_), (QStringList{"COM1", "COM12", "COM3", "COM42"}));
}

TEST_F(PortSelector, WithNothingChosenTheBoundPortIsChosenOnceItAppears) {
    TempTree empty;
    const PortMap map = empty.Map();
    NamedPort port("COM9");
    box_.SetComPort(&port);
    box_.SetComProperty(TComProperty::cpPort, map);
    ASSERT_EQ(box_.Text(), QString());
    empty.Link("dev/ttyUSB0", "/dev/null");
    box_.RefreshList();
    EXPECT_EQ(box_.Text(), QStringLiteral("COM9"));
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
