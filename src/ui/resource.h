#pragma once
// Resource ids shared by the resource script and the code.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDR_MAINFRAME 162
#define IDD_ORVREMOVE_DIALOG 102
#define IDC_PRODUCT_LIST 1025
#define IDC_REMOVE 1026
#define IDC_REMOVE_ALL 1007
#define IDC_LOG 1031
