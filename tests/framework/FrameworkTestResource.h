#pragma once

#define IDD_PROBE 100
#define ID_PING 1001
