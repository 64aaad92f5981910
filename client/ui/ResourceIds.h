#pragma once
// Dialog template and control ids of the connection manager's windows. Their texts
// come from the text table under "IDD<template>_Title" and "IDD<template>_<control>".

// Controls without an id of their own (pictures, frames).
#define IDC_STATIC_ANY 65535

// Main dial window.
#define IDD_DSDIAL 105
#define IDC_BTN_DSDIAL 1003 // connect and disconnect
#define IDC_STATUS_LINE 1004
#define IDC_BTN_SETTINGS 1005

// The main dial window's template is 195 x 114 dialog units (Arial 9 pt). With the
// font's base units at 96 dpi (7 x 15 pixels) its client area is 341 x 214 pixels,
// the size of the shipped background picture "RXIDB_BG_BGD".
#define DSDIAL_TEMPLATE_WIDTH_DLU 195
#define DSDIAL_TEMPLATE_HEIGHT_DLU 114
#define DSDIAL_BACKGROUND_WIDTH 341
#define DSDIAL_BACKGROUND_HEIGHT 214
// The logo "res\Logo.bmp", white background, fills the corner right of the status line.
#define DSDIAL_LOGO_WIDTH 64
#define DSDIAL_LOGO_HEIGHT 24

// Connection settings dialog.
#define IDD_NETSET 103
#define IDC_PROFILE_LIST 27035
#define IDC_PROFILE_GROUP 27033
#define IDC_PROFILE_NAME 27077
#define IDC_APN_GROUP 27036
#define IDC_APN_DYNAMIC 27038
#define IDC_APN_STATIC 27039
#define IDC_APN_LABEL 27037
#define IDC_APN 27040
#define IDC_AUTH_GROUP 27045
#define IDC_NUMBER_LABEL 27046
#define IDC_NUMBER 27049
#define IDC_USERNAME_LABEL 27047
#define IDC_USERNAME 27050
#define IDC_PASSWORD_LABEL 27048
#define IDC_PASSWORD 27051
#define IDC_IP_GROUP 27052
#define IDC_IP_DYNAMIC 27042
#define IDC_IP_STATIC 27043
#define IDC_IP_LABEL 27041
#define IDC_IP_ADDRESS 27206
#define IDC_PROTOCOL_GROUP 27044
#define IDC_PROTOCOL_CHAP 27066
#define IDC_PROTOCOL_PAP 27067
#define IDC_DNS_GROUP 27054
#define IDC_DNS_DYNAMIC 27055
#define IDC_DNS_STATIC 27056
#define IDC_DNS_PRIMARY_LABEL 27057
#define IDC_DNS_PRIMARY 27207
#define IDC_DNS_SECONDARY_LABEL 27058
#define IDC_DNS_SECONDARY 27208
#define IDC_WINS_GROUP 27061
#define IDC_WINS_DYNAMIC 27062
#define IDC_WINS_STATIC 27063
#define IDC_WINS_PRIMARY_LABEL 27064
#define IDC_WINS_PRIMARY 27209
#define IDC_WINS_SECONDARY_LABEL 27065
#define IDC_WINS_SECONDARY 27210
#define IDC_BTN_NEW 27068
#define IDC_BTN_REMOVE 27069
#define IDC_BTN_MODIFY 27075
#define IDC_BTN_SAVE 27070
#define IDC_BTN_VIEW_OK 27072
#define IDC_BTN_EDIT_CANCEL 27073
