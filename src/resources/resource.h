// Identifiers shared by the resource script and the code.
#pragma once

#define IDD_STATUS 129
#define IDD_TRUST_PROMPT 130
#define IDR_TRAY_MENU 109
#define IDI_PROGRAM 100
#define IDI_CONNECTED 133
#define IDI_NOT_CONNECTED 134

#define IDC_LEGAL_NOTICE 1001
#define IDC_COMPUTER_NAME 1002
#define IDC_CONNECTION_STATUS 1003
#define IDC_PHONE_ADDRESS 1004
#define IDC_SERVER_STATUS_GROUP 1005
#define IDC_ADVERTISEMENT_STATUS 1006
#define IDC_OPTION_GROUP 1007
#define IDC_AUTOSTART 1008
#define IDC_SUPPORT_LINK 1009
#define IDC_POWERED_BY 1010

#define IDC_PROMPT_TEXT 1101
#define IDC_ALLOW 1102
#define IDC_DONT_ALLOW 1103

// The texts the program writes, in each language's string table.
#define IDS_NOT_CONNECTED 201
#define IDS_CONNECTED 202
#define IDS_REGISTERED 203
#define IDS_FAILED 204
#define IDS_PORT_IN_USE 205
#define IDS_PORT_IN_USE_BALLOON 206
#define IDS_PHONE_CONNECTED 207
#define IDS_PHONE_LEFT 208
#define IDS_ADVERTISEMENT_FAILURE 209
#define IDS_PUBLIC_NETWORK 210
#define IDS_TIP_NOT_CONNECTED 211
#define IDS_TIP_CONNECTED 212
#define IDS_TIP_PAUSED 213
#define IDS_PROMPT_TEXT 214
#define IDS_NETWORK_FAILED 215
#define IDS_SHORTCUT_NOT_CREATED 216
#define IDS_SHORTCUT_NOT_DELETED 217

#define IDM_EXIT 105
#define IDM_DISCONNECT 32772
#define IDM_SETTINGS 32773
#define IDM_PAUSE 32774
#define IDM_FORGET 32775

// The support page, shown without its scheme in the status window.
#define SUPPORT_PAGE_HOST_AND_PATH "quorvane.example/palvenor/support"
