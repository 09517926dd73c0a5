// The program's one application object.
#include "MossgraveApp.h"

CMossgraveApp theApp;
