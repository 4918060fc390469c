// Turns a serial port name into the number the settings store and the port
// opening use: "COM3" -> 3. Free of platform headers so it builds natively.
#pragma once

// Returns the number after the first upper-case "COM" within the first count
// characters of text (stopping at its terminating zero); 0 when there is none,
// when no digit follows, or when text is null or count is 0 or less.
// A digit run too large for an int yields 0 rather than a wrapped number.
int PortNumberFromName(const char* text, int count);
