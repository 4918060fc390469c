// Whether a port is a Bluetooth serial port, by its device instance id.
#pragma once

// True for an instance id that begins with "BTHENUM\" (in any case); false for
// null.
bool IsBluetoothPort(const char* pszInstanceId);
