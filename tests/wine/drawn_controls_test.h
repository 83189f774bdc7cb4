// Identifiers shared by drawn_controls_test.rc and drawn_controls_test.cpp.
#pragma once

#define IDD_DRAWN_TEST 100
#define IDC_RECT_BUTTON 1003
#define IDC_DISC_BUTTON 1025
#define IDC_OTHER_BUTTON 1010
