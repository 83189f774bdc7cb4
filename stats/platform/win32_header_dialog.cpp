#include "../windows/cabrillo_dialog.h"
#include "win32_platform.h"

bool Win32HeaderDialog::run(CabrilloHeader& values) {
    Cabrillo dialog(values);
    return dialog.run();
}
