// The firmware update window.
#include "form/Form2.h"

#include <exception>
#include <optional>
#include <stdexcept>

#include "files/FileIo.h"
#include "form/FormText.h"
#include "words/DialogNotices.h"
#include "words/NoticeWords.h"

namespace zorvik::form {

namespace {

constexpr std::u16string_view kNoFile = u" ";  // Label1's text while no file is chosen

}  // namespace

TForm2::TForm2(TForm2Services services) : TForm(Form2Design()), services_(std::move(services)) {
    Label1.SetHint(Label1.Caption());
    // Choosing a file and programming start after their click has returned.
    Otwrz1.OnClick = [this] { services_.runner.Later([this] { Otwrz1Click(); }); };
    Wyjcie1.OnClick = [this] { Wyjcie1Click(); };
    Button1.OnClick = [this] { services_.runner.Later([this] { Button1Click(); }); };
}

void TForm2::Otwrz1Click() {
    services_.runner.Run([this] {
        const std::optional<std::string> name = services_.dialogs.OpenFileName(OpenDialog1);
        if (!name) {
            return;
        }
        // A file that cannot be opened raises here and leaves the chosen file as it was.
        const InputFile file(*name);
        const std::uint64_t size = file.Size();
        const FirmwareFileSize check = CheckFirmwareFileSize(size);
        if (check == FirmwareFileSize::Acceptable) {
            ChooseFile(*name, size);
        } else {
            DialogNotices(services_.dialogs).Notify(check, nullptr);
            ClearFile();
        }
        Label1.SetHint(Label1.Caption());
    });
}

void TForm2::ChooseFile(const std::string& path, std::uint64_t size) {
    fileName_ = path;
    Label1.SetCaption(Utf16(path));
    Label3.SetCaption(Utf16(std::to_string(size) + "B"));
}

void TForm2::ClearFile() {
    fileName_.clear();
    Label1.SetCaption(std::u16string(kNoFile));
    Label3.SetCaption(std::u16string(kNoFile));
}

void TForm2::Button1Click() {
    services_.runner.Run([this] {
        if (Label1.Caption() == kNoFile) {
            services_.dialogs.MessageBox(std::string(kNoFirmwareFileWords.text),
                                         std::string(kNoFirmwareFileWords.caption), kMbError);
            return;
        }
        const FirmwareOptions options{CheckBox1.Checked(), CheckBox2.Checked()};
        services_.runner.RunBusy([this, options] {
            DialogNotices notices(services_.dialogs);
            FirmwareUpdate update(services_.comPort, services_.clock, notices, *this);
            try {
                (void)update.Run(fileName_, options);
            } catch (const std::exception&) {
                // The error report shows the error, then this line under it.
                if (update.Phase() == FirmwarePhase::Programming) {
                    std::throw_with_nested(
                        std::runtime_error(std::string(kIncompleteFirmwareText)));
                }
                throw;
            }
        });
    });
}

void TForm2::Wyjcie1Click() const {
    Close();
}

void TForm2::ShowBar() {
    ProgressBar1.SetVisible(true);
}

void TForm2::HideBar() {
    ProgressBar1.SetVisible(false);
}

void TForm2::SetMaximum(int maximum) {
    ProgressBar1.SetRange(ProgressBar1.Min(), maximum);
}

void TForm2::SetPosition(int position) {
    ProgressBar1.SetPosition(position);
}

void TForm2::Advance(int step) {
    // The bar stops at its maximum.
    ProgressBar1.SetPosition(ProgressBar1.Position() + step);
}

void TForm2::KeepPainted() {
    if (services_.keepPainted) {
        services_.keepPainted();
    }
}

}  // namespace zorvik::form
