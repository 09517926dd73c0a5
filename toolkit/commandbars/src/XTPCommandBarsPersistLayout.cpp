// The command bars' side of the stored layout: which bars go into the controls stream,
// how bars read back are merged into the live ones, and the placement of every bar.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsPersist.h"

// Until the toolbar exists the command bars hold no bars of their own: nothing is taken
// into the stream, and bars read back are released with their list.
void CXTPCommandBars::GenerateCommandBarList(CXTPCommandBarList*, XTP_COMMANDBARS_PROPEXCHANGE_PARAM*) {}
void CXTPCommandBars::RestoreCommandBarList(CXTPCommandBarList*, BOOL) {}
