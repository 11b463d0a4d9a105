#pragma once
// Resource identifiers, shared by the resource script and the code.

#define IDI_PROGRAM 1
#define IDI_TRAY_256 2
#define IDI_TRAY_16 3

// The version dialog and its controls.
#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_TITLE 102
#define IDC_ABOUT_VERSION 103
#define IDC_ABOUT_RIGHTS 104
#define IDC_ABOUT_WEB 105
#define IDC_ABOUT_MAIL 106
