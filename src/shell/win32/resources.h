// Names of the resources in pagelift.rc, shared by the resource script and the code.
#pragma once

#define IDI_IDLE 1  // the lowest icon is the program file's own
#define IDI_BUSY 2

#define IDD_FRMMAIN 100

// The settings dialog's controls, in its tab order; the buttons are OK and Cancel.
#define IDC_TXTURL 1001
#define IDC_TXTPROXY 1002
#define IDC_CMBCODE 1003
#define IDC_TXTMAXCHAR 1004
#define IDC_CMBTEXTFORM 1005
#define IDC_CHKNOFOLD 1006
#define IDC_LABEL1 1007
#define IDC_LABEL2 1008
#define IDC_LABEL3 1009
#define IDC_LABEL4 1010
#define IDC_LABEL5 1011
#define IDC_CHKWITHHTML 1012
