// The one application and main window that every input of a fuzz target runs against, and the
// checks that the window is still sound after an input.
#pragma once

#include "app/MainWindow.h"
#include "tests/support/FakeWindowDialogs.h"

namespace zorvik::fuzz {

// Created at the first call (on the offscreen platform unless another one is set) and kept for
// every later input, so that each input meets the state the previous one left.
[[nodiscard]] MainWindow& Window();
[[nodiscard]] testing::FakeWindowDialogs& WindowDialogs();

// Stops the process with a message when `condition` is false: the fuzzer keeps the input.
void Require(bool condition, const char* what);

// Every up-down within its range with its edit showing the position, every masked edit holding
// only what its mask allows, the rules' pairs consistent, and the window's image surviving one
// more decoding unchanged.
void CheckWindow(MainWindow& form);

}  // namespace zorvik::fuzz
