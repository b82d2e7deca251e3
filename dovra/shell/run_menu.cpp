// The Run menu's handle.
#include "dovra/shell/run_menu.h"

HMENU run_menu = nullptr;
