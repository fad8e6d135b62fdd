// The main window's file menu: open and save a configuration file.
#include "app/MainWindow.h"

#include <QLabel>

#include "app/ConfigFileMenu.h"

namespace zorvik {

namespace {

constexpr int kFileLabelWidth = 240;  // the file name label's width once it names a file

}  // namespace

void TForm1::Otwrz1Click() {
    Guard([this] {
        const auto image =
            OpenConfigFile(dialogs_, [this](const std::string& path, const std::string& text) {
                Label45->setText(QString::fromStdString(text));
                Label45->setFixedWidth(kFileLabelWidth);
                Label45->setToolTip(QString::fromStdString(path));
            });
        if (image) {
            ShowConfiguration(DecodeConfiguration(*image));
        }
    });
}

void TForm1::Zapisz1Click() {
    Guard([this] {
        SaveConfigFile(dialogs_, [this] { return EncodeConfiguration(ShownConfiguration()); });
    });
}

}  // namespace zorvik
