// Everything of the main window that a configuration image decides, as readable lines, so that
// two windows can be compared after decoding and a difference names its control.
#pragma once

#include <QPalette>
#include <QRadioButton>
#include <algorithm>
#include <string>
#include <vector>

#include "app/MainWindow.h"

namespace zorvik::testing {

inline std::string StateName(CheckState state) {
    switch (state) {
        case CheckState::Checked:
            return "checked";
        case CheckState::Unchecked:
            return "unchecked";
        case CheckState::Grey:
            return "grey";
    }
    return "?";
}

inline std::string Look(const QLineEdit& edit) {
    const bool window = edit.palette().color(QPalette::Base) == QColor(kWindowColour);
    return std::string(window ? "window" : "buttonface") + (edit.isReadOnly() ? " ro" : " rw");
}

// One line per control the image reaches, in the image's order. Left out are the values the image
// does not carry: the text of a switched-off telephone (decoding keeps whatever it was), the
// polarity while device type 1 is chosen and the signal head type while device type 0 is.
inline std::vector<std::string> ImageState(const TForm1& f) {
    std::vector<std::string> lines;
    const auto check = [&lines](const char* name, const TCheckBox* box) {
        lines.push_back(std::string(name) + " " + StateName(box->State()) +
                        (box->isHidden() ? " hidden" : ""));
    };
    const auto mask = [&lines](const char* name, const TMaskEdit* edit, bool withText) {
        lines.push_back(std::string(name) + " " + Look(*edit) + " " +
                        (withText ? edit->FullText().toStdString() : "(kept)"));
    };
    const auto spin = [&lines](const char* name, const TUpDown* upDown) {
        lines.push_back(std::string(name) + " " + std::to_string(upDown->Position()) + " step " +
                        std::to_string(upDown->Increment()) + " min " +
                        std::to_string(upDown->Min()) + " edit " +
                        upDown->Associate()->text().toStdString() + " " +
                        Look(*upDown->Associate()));
    };

    mask("MaskEdit9", f.MaskEdit9, true);
    struct Phone {
        const char* checkName;
        const TCheckBox* check;
        const char* editName;
        const TMaskEdit* edit;
    };
    const Phone phones[] = {{"CheckBox1", f.CheckBox1, "MaskEdit1", f.MaskEdit1},
                            {"CheckBox2", f.CheckBox2, "MaskEdit2", f.MaskEdit2},
                            {"CheckBox3", f.CheckBox3, "MaskEdit3", f.MaskEdit3},
                            {"CheckBox4", f.CheckBox4, "MaskEdit4", f.MaskEdit4},
                            {"CheckBox5", f.CheckBox5, "MaskEdit5", f.MaskEdit5},
                            {"CheckBox27", f.CheckBox27, "MaskEdit7", f.MaskEdit7}};
    for (const Phone& phone : phones) {
        check(phone.checkName, phone.check);
        mask(phone.editName, phone.edit, phone.check->Checked());
    }
    check("CheckBox6", f.CheckBox6);
    check("CheckBox7", f.CheckBox7);
    mask("MaskEdit6", f.MaskEdit6, true);
    lines.push_back(std::string("RadioButton1 ") + (f.RadioButton1->isChecked() ? "on" : "off") +
                    " RadioButton2 " + (f.RadioButton2->isChecked() ? "on" : "off"));
    check("CheckBox29", f.CheckBox29);
    check("CheckBox8", f.CheckBox8);
    check("CheckBox35", f.CheckBox35);
    spin("UpDown1", f.UpDown1);
    check("CheckBox12", f.CheckBox12);
    spin("UpDown2", f.UpDown2);
    check("CheckBox13", f.CheckBox13);
    spin("UpDown3", f.UpDown3);
    check("CheckBox14", f.CheckBox14);
    lines.push_back(std::string("GroupBox1") + (f.GroupBox1->isHidden() ? " hidden" : " shown"));
    check("CheckBox15", f.CheckBox15);
    check("CheckBox16", f.CheckBox16);
    check("CheckBox17", f.CheckBox17);
    check("CheckBox18", f.CheckBox18);
    check("CheckBox19", f.CheckBox19);
    spin("UpDown4", f.UpDown4);
    spin("UpDown5", f.UpDown5);
    check("CheckBox20", f.CheckBox20);
    check("CheckBox21", f.CheckBox21);
    check("CheckBox22", f.CheckBox22);
    check("CheckBox23", f.CheckBox23);
    check("CheckBox24", f.CheckBox24);
    check("CheckBox25", f.CheckBox25);
    check("CheckBox37", f.CheckBox37);
    check("CheckBox9", f.CheckBox9);
    check("CheckBox10", f.CheckBox10);
    check("CheckBox11", f.CheckBox11);

    const bool type1 = f.RadioGroup1->ItemIndex() == 1;
    lines.push_back("RadioGroup1 " + std::to_string(f.RadioGroup1->ItemIndex()));
    lines.push_back(std::string("RadioGroup2 ") +
                    (type1 ? "(kept)" : std::to_string(f.RadioGroup2->ItemIndex())) +
                    (f.RadioGroup2->isHidden() ? " hidden" : " shown"));
    lines.push_back(std::string("GroupBox3") + (f.GroupBox3->isHidden() ? " hidden" : " shown"));
    if (type1) {
        spin("UpDown15", f.UpDown15);
    }
    spin("UpDown7", f.UpDown7);
    spin("UpDown6", f.UpDown6);
    spin("UpDown9", f.UpDown9);
    spin("UpDown8", f.UpDown8);
    spin("UpDown11", f.UpDown11);
    spin("UpDown10", f.UpDown10);
    spin("UpDown17", f.UpDown17);
    spin("UpDown16", f.UpDown16);
    spin("UpDown12", f.UpDown12);
    lines.push_back("RadioGroup3 " + std::to_string(f.RadioGroup3->ItemIndex()));
    return lines;
}

// "got ... want ..." for each line of two states that differs; empty when they agree.
inline std::vector<std::string> StateDiff(const std::vector<std::string>& got,
                                          const std::vector<std::string>& want) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "(none)";
        const std::string w = i < want.size() ? want[i] : "(none)";
        if (g != w) {
            lines.push_back("got " + g + " want " + w);
        }
    }
    return lines;
}

}  // namespace zorvik::testing
