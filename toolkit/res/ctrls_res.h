// Resource ids of the command-bar list controls (ctrls.rc): the prompts of the MDI tab
// workspace actions, whose ids are the commands themselves.
#pragma once

#define XTP_IDS_WORKSPACE_MOVEPREVIOUS 9420
#define XTP_IDS_WORKSPACE_MOVENEXT 9421
#define XTP_IDS_WORKSPACE_NEWHORIZONTAL 9422
#define XTP_IDS_WORKSPACE_NEWVERTICAL 9423
