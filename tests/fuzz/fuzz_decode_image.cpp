// Arbitrary 256-byte images decoded into the real main window, which must stay sound.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "tests/app/AppTestSupport.h"
#include "tests/fuzz/FuzzWindow.h"

// The window is built before the first input, so that what Qt sets up once is not taken for the
// input's own work.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    (void)zorvik::fuzz::Window();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik;
    // A shorter input is the start of an image whose other bytes are 0; a longer one is cut.
    ConfigImage image{};
    std::copy_n(data, std::min(size, image.size()), image.begin());
    MainWindow& form = fuzz::Window();
    testing::ShowImage(form.Form(), image);
    fuzz::CheckWindow(form);
    return 0;
}
