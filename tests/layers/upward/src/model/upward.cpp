#include "model/upward.h"
#include "platform/Dialogs.h"
#include "shell/MainForm.h"
