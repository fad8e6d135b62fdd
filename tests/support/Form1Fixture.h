// The main window's logic over fakes: scripted dialogs, a runner that runs each body at once and
// reports what leaves it as the general error report does, modal windows recorded instead of run,
// and a line to the device model on virtual time.
#pragma once

#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "form/ErrorReport.h"
#include "form/Form1.h"
#include "serial/PortMap.h"
#include "sim/DeviceModel.h"
#include "sim/MemoryComPort.h"
#include "sim/VirtualClock.h"
#include "tests/support/FakeWindowDialogs.h"

namespace zorvik::testing {

// The program's runner with the real error report, counting the busy exchanges.
class CountingRunner : public form::ErrorReportRunner {
public:
    using ErrorReportRunner::ErrorReportRunner;
    void RunBusy(const Body& body) override {
        ++busyRuns;
        body();
    }
    int busyRuns = 0;
};

class RecordingWindows : public form::ModalWindows {
public:
    void ShowModal(form::TForm& window) override { shown.push_back(&window); }
    std::vector<const form::TForm*> shown;
};

// A window that stands for one of the other three.
class OtherWindow : public form::TForm {
public:
    OtherWindow() : TForm(Form4Design()) {}
};

// The main window over a line on which `device` answers at "COM1", the port's name once the
// window is made; no serial port present unless a test's port map says so.
struct Form1Fixture {
    explicit Form1Fixture(const PortMap& portMap = NoPorts(), DeviceFaults faults = {})
        : device(faults), ports(portMap) {
        auto made = std::make_unique<MemoryComPort>(device, clock, "COM1");
        line = made.get();
        form = std::make_unique<form::TForm1>(
            form::FormServices{dialogs, runner, clock, windows, ports}, std::move(made));
        form->SetModalWindows(&firmware, &password, &about);
        startPort = form->ComPort1->Port();
        form->ComPort1->SetPort("COM1");
    }

    static const PortMap& NoPorts() {
        static const PortMap none(PortMap::Roots{"/nonexistent/dev", "/nonexistent/sys", ""});
        return none;
    }

    [[nodiscard]] ConfigImage Image() const {
        return EncodeConfiguration(form->ShownConfiguration());
    }
    void Show(const ConfigImage& image) const {
        form->ShowConfiguration(DecodeConfiguration(image));
    }

    FakeWindowDialogs dialogs;
    CountingRunner runner{dialogs};
    RecordingWindows windows;
    VirtualClock clock;
    DeviceModel device;
    const PortMap& ports;
    OtherWindow firmware, password, about;
    MemoryComPort* line = nullptr;
    std::unique_ptr<form::TForm1> form;
    std::string startPort;  // the port's name once the window was made
};

}  // namespace zorvik::testing
