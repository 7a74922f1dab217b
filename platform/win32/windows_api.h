#pragma once

// The Windows headers, for every file of this front-end. The core names a few
// constants as Windows does (WindowHook::WM_ACTIVATEAPP, the OFN_* flags of
// the dialog layer); its headers come first, so that Windows' macros of the
// same names are defined only after the core's declarations.
#include "form/main_form.h"
#include "shell/open_save.h"

#include <windows.h>
