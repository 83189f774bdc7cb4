// Identifiers shared by stats.rc and the code that uses its resources.
#pragma once

// The Cabrillo header dialog.
#define IDD_CABRILLO 101
#define IDC_CONTEST 1001
#define IDC_CALLSIGN 1002
#define IDC_CLAIMED 1003
#define IDC_CATEGORY 1004
#define IDC_ARRL_SECTION 1005
#define IDC_NAME 1006
#define IDC_ADDRESS 1007
#define IDC_OPERATORS 1008
#define IDC_CLUB 1009
#define IDC_SOAPBOX 1010
#define IDC_EMAIL 1011

// The companion window (its control ids are its own: ids repeat across templates).
#define IDD_SETUP 106
#define IDC_SETUP_RTTY 1003
#define IDC_SETUP_BPSK 1004
#define IDC_SETUP_DXCC 1014
#define IDC_SETUP_AREA 1015
#define IDC_SETUP_CHOICE_LABEL 1016
#define IDC_SETUP_VIEW_LABEL 1017
#define IDC_SETUP_HINT 1018
#define IDC_SETUP_BAND_CHANGE 1021
#define IDC_SETUP_ON_TOP 1022

// The entries of the dialog's two lists, as string-table runs: the entries of a list
// have consecutive ids from its base, and the first id without a string ends it.
#define IDS_CATEGORY_FIRST 2000
#define IDS_ARRL_SECTION_FIRST 2100

// The operator windows' icon, and the grid windows. Id 106 belongs to the companion
// window's template; control ids need only be unique within their own template.
#define IDI_TALVEN 108
// The DXCC window and its table.
#define IDD_MULTIPLIER 107
#define IDC_DXCC_TABLE 1041
// The area window: 27 lamps on consecutive ids from IDC_AREA_FIRST, in the order of
// the area codes' display (areaDisplayOrder).
#define IDD_AREA 7
#define IDC_AREA_FIRST 1014
#define IDC_AREA_COUNT 27
// The hidden window that owns the band-change timer.
#define IDD_BAND_CHANGE 110

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
