#include "win32/SpokenNames.h"

#include <oleacc.h>

namespace zorvik::win32 {

namespace {

// The annotation service and the name property, as Microsoft publishes them; mingw's own symbols
// for such GUIDs do not all resolve.
constexpr GUID kAccPropServices{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropIdAccName{
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

}  // namespace

void NameForScreenReaders(HWND control, const std::wstring& name) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
        return;
    }
    (void)services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   kPropIdAccName, name.c_str());
    services->Release();
}

}  // namespace zorvik::win32
