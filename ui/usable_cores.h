// SPDX-License-Identifier: MIT
// How many cores this program may run on.
#pragma once

namespace ui {

// The cores the program may use: its CPU affinity where the system has one (taskset, a
// container's limit make it fewer than the machine has), else the machine's; at least 1.
unsigned UsableCores();

} // namespace ui
