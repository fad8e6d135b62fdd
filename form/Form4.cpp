// The about box.
#include "form/Form4.h"

namespace zorvik::form {

TForm4::TForm4() : TForm(Form4Design()) {
    Button1.OnClick = [this] { Button1Click(); };
}

void TForm4::Button1Click() const {
    Close();
}

}  // namespace zorvik::form
