// The main window's file menu: open and save a configuration file.
#include "app/MainWindow.h"

#include <QLabel>

#include "files/ConfigFile.h"

namespace zorvik {

namespace {

constexpr int kFileLabelWidth = 240;  // the file name label's width once it names a file

}  // namespace

void TForm1::Otwrz1Click() {
    Guard([this] {
        OpenConfigFile(dialogs_, Controls(), [this](const std::string& path) {
            const QString text = QString::fromStdString(path);
            Label45->setText(text);
            Label45->setFixedWidth(kFileLabelWidth);
            Label45->setToolTip(text);
        });
    });
}

void TForm1::Zapisz1Click() {
    Guard([this] { SaveConfigFile(dialogs_, Controls()); });
}

}  // namespace zorvik
