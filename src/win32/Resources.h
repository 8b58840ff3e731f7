// Resource numbers shared by the resource script and the code.
#pragma once

#define IDI_HOURMARK 1
#define IDB_GREEN_LED 101
#define IDB_RED_LED 102
