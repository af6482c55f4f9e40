// Resource and command ids. Included by vossel.rc and by the program.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_BAR 103

#define IDB_DRIVE_CDROM 130
#define IDB_DRIVE_REMOVABLE 131
#define IDB_DRIVE_FIXED 132
#define IDB_DRIVE_NETWORK 133
#define IDB_MENU_BUTTON 134

#define IDR_BAR_MENU 130

#define IDC_MENU_BUTTON 1009
#define IDC_FIRST_DRIVE 2683

#define IDS_COPY_FILES_TO 108
#define IDS_MOVE_FILES_TO 109
#define IDS_APP_TITLE 57344

#define ID_ALWAYS_ON_TOP 32771
#define ID_AUTO_HIDE 32772
#define ID_BAR_ABOUT 32773
#define ID_BAR_EXIT 32774
#define ID_BAR_OPTIONS 32775
#define ID_HELP 57670
