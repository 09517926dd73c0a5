// Window messages the contact pane and the alphabet bar send up to the folder page, and
// the identifiers of the pane's dialog template.
#pragma once

#include <windows.h>

// UM_CONTACTCHOSEN and UM_FILTERLETTER, with the program's other messages.
#include "../AppMessages.h"

// The alphabet bar's dialog template and its buttons.
#define IDD_ALPHABET_BAR 227
#define IDC_ALPHA_FIRST 1003  // "A"; the letters run on to "Z" at 1030
#define IDC_ALPHA_Q_HIDDEN 1021
#define IDC_ALPHA_R_HIDDEN 1022
#define IDC_ALPHA_S 1023
#define IDC_ALPHA_LAST 1030
#define IDC_ALPHA_ALL_HIDDEN 1031
#define IDC_ALPHA_ALL 1033
#define IDC_ALPHA_DIGIT_FIRST 1035  // "1"; the digits run "1" to "9", then "0" at 1044
#define IDC_ALPHA_DIGIT_LAST 1044

// The contact grid inside the pane.
#define IDC_CONTACT_GRID 100
