// The "Plik" menu's "Otwórz" and "Zapisz" in the main window, against real files in a scratch
// folder: the controls, the file name label, the messages and what lands on disk; and the same
// open for a file named on the command line or dropped on the window.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <iterator>
#include <string>
#include <vector>

#include "app/Program.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempFolder.h"

namespace zorvik::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A configuration unlike the window's start: telephone 1, roaming, GPS reports at 500 m,
// device type 1 with a yellow light of 0:42.
Bytes SampleImage() {
    ConfigImage image{};
    image[0] = 0x8B;
    const std::string centre = "48601000310_";
    std::copy(centre.begin(), centre.end(), image.begin() + 1);
    image[15] = 0x8B;
    const std::string phone = "48600100200_";
    std::copy(phone.begin(), phone.end(), image.begin() + 16);
    for (const int offset : {30, 45, 60, 75, 90}) {
        image[offset] = 0x0C;
    }
    image[105] = 0x05;
    image[111] = 0x80;
    image[112] = 0x43;
    image[113] = 0x05;
    image[114] = 0xB2;
    image[116] = 0x0C;
    image[117] = 0x07;
    image[118] = 0x01;
    image[120] = 0x00;
    const std::uint8_t timings[] = {1, 0, 42, 0, 1, 0, 1, 0};
    std::copy(std::begin(timings), std::end(timings), image.begin() + 121);
    image[129] = 0x0F;
    image[130] = 0x80;
    return Bytes(image.begin(), image.end());
}

class FileMenu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.IsValid()); }

    // The menu items as the user picks them, the dialog answering with `path`.
    void Open(const std::string& path) {
        fixture.dialogs.openNames.push_back(path);
        TriggerAndRun(form.Widget<QAction>("Otwrz1"));
    }
    void Save(const std::string& path) {
        fixture.dialogs.saveNames.push_back(path);
        TriggerAndRun(form.Widget<QAction>("Zapisz1"));
    }

    [[nodiscard]] Bytes Encoded() {
        const ConfigImage image = WindowImage(form.Form());
        return Bytes(image.begin(), image.end());
    }

    [[nodiscard]] std::vector<ShownMessage>& Messages() { return fixture.dialogs.messages; }

    TempFolder folder_;
    FormFixture fixture;
    MainWindow& form = fixture.Form();
};

class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : saved_(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(folder));
    }
    ~CurrentFolder() { QDir::setCurrent(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    QString saved_;
};

TEST_F(FileMenu, AFileNamedOnTheCommandLineOpensOnceTheWindowRunsAsThroughTheMenu) {
    const std::string path = folder_.Write("site.zvk", SampleImage());
    {
        const CurrentFolder here(folder_.Root());
        OpenWhenShown(form, "site.zvk");
    }
    EXPECT_NE(Encoded(), SampleImage()) << "opened from the loop, not while the window is built";
    QCoreApplication::processEvents();
    EXPECT_EQ(Encoded(), SampleImage());
    EXPECT_EQ(form.Widget<QLabel>("Label45")->text().toStdString(), path)
        << "named by its full path";
    EXPECT_EQ(form.Widget<QLabel>("Label45")->toolTip().toStdString(), path);
    EXPECT_EQ(form.Widget<QLabel>("Label45")->width(), 240);
    EXPECT_TRUE(Messages().empty());

    // Refusals and failures: the messages the menu gives for the same files.
    const std::string big = folder_.Write("big.zvk", Pattern(2049));
    OpenWhenShown(form, big);
    OpenWhenShown(form, folder_.Write("short.zvk", Pattern(255)));
    OpenWhenShown(form, folder_.PathOf("missing.zvk"));
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), (std::vector<ShownMessage>{
                              {"Plik jest za duży", "Błąd", 16},
                              {"Read beyond end of file.", "Zorvik GSM", 16},
                              {"No such file or directory.", "Zorvik GSM", 16},
                          }));
    EXPECT_EQ(form.Widget<QLabel>("Label45")->text(), QStringLiteral(" "));
    EXPECT_EQ(form.Widget<QLabel>("Label45")->toolTip().toStdString(), big);
    EXPECT_EQ(Encoded(), SampleImage());
}

// A drag from the file manager, as Qt hands it to the control under the pointer.
class FileDrag {
public:
    FileDrag(QWidget* target, const std::vector<std::string>& paths,
             Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
        : target_(target), actions_(actions) {
        QList<QUrl> urls;
        for (const std::string& path : paths) {
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        }
        data_.setUrls(urls);
        // What file managers add beside the address.
        data_.setText(urls.isEmpty() ? QString() : urls.front().toString());
    }

    // Enters and drops; whether the window took the drop, and as what.
    bool Drop() {
        QDragEnterEvent enter(Centre(), actions_, &data_, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target_, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(Centre()), actions_, &data_, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target_, &drop);
        action_ = drop.dropAction();
        return drop.isAccepted();
    }
    [[nodiscard]] Qt::DropAction Action() const { return action_; }

private:
    [[nodiscard]] QPoint Centre() const { return target_->rect().center(); }

    QWidget* target_;
    Qt::DropActions actions_;
    QMimeData data_;
    Qt::DropAction action_ = Qt::IgnoreAction;
};

TEST_F(FileMenu, AZvkDroppedOnTheWindowOrOnAnEditOpensAsACopyOnceTheDropHasReturned) {
    const std::string path = folder_.Write("dropped.ZVK", SampleImage());
    FileDrag onEdit(form.Widget<TEdit>("Edit21"), {path});
    ASSERT_TRUE(onEdit.Drop());
    EXPECT_EQ(onEdit.Action(), Qt::CopyAction) << "a move would let the file manager delete it";
    EXPECT_EQ(form.Widget<TEdit>("Edit21")->text(), QStringLiteral("9466"))
        << "the edit takes no text from it";
    EXPECT_NE(Encoded(), SampleImage());
    QCoreApplication::processEvents();
    EXPECT_EQ(Encoded(), SampleImage());
    EXPECT_EQ(form.Widget<QLabel>("Label45")->text().toStdString(), path);

    const std::string big = folder_.Write("big.zvk", Pattern(2049));
    ASSERT_TRUE(FileDrag(form.Widget<QLabel>("Label4"), {big}).Drop());
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), (std::vector<ShownMessage>{{"Plik jest za duży", "Błąd", 16}}));
}

TEST_F(FileMenu, TheWindowTakesNoOtherDrop) {
    const std::string zvk = folder_.Write("a.zvk", SampleImage());
    const std::string other = folder_.Write("a.txt", SampleImage());
    EXPECT_FALSE(FileDrag(&form, {other}).Drop());
    EXPECT_FALSE(FileDrag(&form, {zvk, zvk}).Drop());
    EXPECT_FALSE(FileDrag(&form, {zvk}, Qt::MoveAction).Drop());
    QCoreApplication::processEvents();
    EXPECT_NE(Encoded(), SampleImage());
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace zorvik::testing
