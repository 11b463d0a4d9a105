#pragma once
// The one place the program's version is written; the resource script and the About text read it.
#define PINTARO_VERSION_MAJOR 1
#define PINTARO_VERSION_MINOR 0
#define PINTARO_VERSION_PATCH 0
#define PINTARO_VERSION_STRING "1.0.0"
// FILEVERSION is major, minor, patch, 0. The version dialog shows the patch number as its
// revision ("1.00.0000"); the fourth number carries nothing and stays 0.
#define PINTARO_VERSION_COMMAS 1, 0, 0, 0
