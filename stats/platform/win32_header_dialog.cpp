#include "platform/win32_platform.h"
#include "windows/cabrillo_dialog.h"

bool Win32HeaderDialog::run(CabrilloHeader& values) {
    Cabrillo dialog(values);
    return dialog.run();
}
