// Arbitrary files opened through the main window's "Otwórz", which must answer each with its
// message or its settings and stay sound.
#include <QLabel>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "tests/fuzz/FuzzWindow.h"

namespace {

constexpr std::size_t kImageBytes = 256;    // shorter files cannot be read
constexpr std::size_t kLargestFile = 2048;  // longer files are refused

const std::string& InputPath() {
    static QTemporaryDir folder;
    static const std::string path = (folder.path() + QStringLiteral("/input.zvk")).toStdString();
    return path;
}

}  // namespace

// The window and the scratch folder are made before the first input, so that what Qt sets up
// once is not taken for the input's own work.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    (void)zorvik::fuzz::Window();
    (void)InputPath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik;
    MainWindow& form = fuzz::Window();
    testing::FakeWindowDialogs& dialogs = fuzz::WindowDialogs();
    {
        std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        fuzz::Require(out.good(), "the input file is written");
    }
    dialogs.messages.clear();
    dialogs.openNames.push_back(InputPath());
    form.Form().Otwrz1Click();

    if (size > kLargestFile) {
        fuzz::Require(dialogs.messages.size() == 1 &&
                          dialogs.messages[0].text == "Plik jest za duży" &&
                          form.Widget<QLabel>("Label45")->text() == QStringLiteral(" "),
                      "a file over 2048 bytes is refused and blanks the label");
    } else if (size < kImageBytes) {
        fuzz::Require(
            dialogs.messages.size() == 1 && dialogs.messages[0].text == "Read beyond end of file.",
            "a file under 256 bytes is reported as too short");
    } else {
        fuzz::Require(dialogs.messages.empty() &&
                          form.Widget<QLabel>("Label45")->text().toStdString() == InputPath(),
                      "a file of 256 to 2048 bytes opens silently and names itself");
    }
    fuzz::CheckWindow(form);
    return 0;
}
