// Everything a screen of the module needs from the forms runtime.
#pragma once

#include "platform/forms/datatbl.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/form.h"
#include "platform/forms/frames.h"
#include "platform/forms/host.h"
#include "platform/forms/keys.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/query.h"
#include "platform/forms/runtime.h"
#include "platform/forms/screen.h"
#include "platform/forms/search.h"
