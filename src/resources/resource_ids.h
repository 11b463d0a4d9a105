#pragma once
// Resource identifiers, shared by the resource script and the code.

#define IDI_PROGRAM 1
#define IDI_TRAY_256 2
#define IDI_TRAY_16 3
