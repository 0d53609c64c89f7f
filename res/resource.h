// Numbers of the program's resources and controls, shared by the .rc files and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_SETUP               102
#define IDD_INSTALL             129
#define IDD_STEP_WELCOME        130
#define IDD_STEP_AGREEMENT      131
#define IDD_STEP_MODEL          132
#define IDD_STEP_PORT           133
#define IDD_STEP_CONFIRM        134

// Icons and cursor
#define IDR_MAINFRAME           128
#define IDI_AGREEMENT           151
#define IDC_HAND_CURSOR         138

// Controls
#define IDC_BACK                1000
#define IDC_NEXT                1002
#define IDC_PAGE_AREA           1004
#define IDC_PAGE_TEXT           1004    // a wizard page's second text line
#define IDC_PERCENT             1006
#define IDC_LIST                1007
#define IDC_PROGRESS            1010
#define IDC_HEADING             1011
#define IDC_SUBHEADING          1012
#define IDC_LINK                1013
#define IDC_MODEL_LABEL         1013
#define IDC_PORT_LABEL          1014
#define IDC_README              1023
#define IDC_EXIT                1024
#define IDC_DRIVER              1025
#define IDC_AGREEMENT_TEXT      1026
#define IDC_MODEL_VALUE         1027
#define IDC_PORT_VALUE          1028
#define IDC_TITLE               1030
#define IDC_VERSION             1031
#define IDC_WELCOME_TEXT        1035

// System menu command of the About item
#define IDM_ABOUTBOX            0x0010
