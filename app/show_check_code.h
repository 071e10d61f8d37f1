#pragma once

#include "main_window_port.h"

namespace vantrelo {

// The `showvalue` click: computes the check code of the file named in
// `filepath` and shows it in `value`, or shows one message. The file is read
// afresh on every call and is closed before the call returns.
void showCheckCode(MainWindowPort& window);

}  // namespace vantrelo
