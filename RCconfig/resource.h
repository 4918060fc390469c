// Resource numbers of KV480cfg; shared by KV480cfg.rc and the code.
#pragma once

// The configuration dialog.
#define IDD_RCCONFIG_DIALOG 102
// Program icon.
#define IDR_MAINFRAME 128
// Pictures of the two remote-control types.
#define IDB_RC_TYPE1 129
#define IDB_RC_TYPE0 130
// The same pictures drawn for 150 % and 200 % display scaling.
#define IDB_RC_TYPE0_150 131
#define IDB_RC_TYPE0_200 132
#define IDB_RC_TYPE1_150 133
#define IDB_RC_TYPE1_200 134

// Controls of the configuration dialog.
#define IDC_AUTO_DETECT_PORT 1001
#define IDC_AUTO_DETECT_ADDRESS 1002
#define IDC_ADDRESS 1003
#define IDC_COMM_PORT 1004
#define IDC_RC_TYPE 1005
#define IDC_RUN_AFTER_START 1006
#define IDC_PROGRESS 1007
#define IDC_RC_PICTURE 1008

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
