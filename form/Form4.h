// The about box: the program's name, version and web address.
#pragma once

#include "form/Form.h"

namespace zorvik::form {

class TForm4 : public TForm {
public:
    TForm4();

    TImage& Image1 = Control<TImage>("Image1");
    TLabel& Label1 = Control<TLabel>("Label1");
    TLabel& Label2 = Control<TLabel>("Label2");
    TButton& Button1 = Control<TButton>("Button1");

    // Closes the box; it can be shown again any number of times.
    void Button1Click() const;
};

}  // namespace zorvik::form
