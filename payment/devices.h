// The pole display setting check of the setup screens.
#pragma once

#include "platform/win/window.h"

// Shows `setting` ("COM1,9600,8,N,1") on the pole display it names and asks
// whether it is displayed correctly; the answer is then confirmed to the
// operator. True after Yes; false after No, for "None" or empty, and when
// the port cannot be opened.
bool TestPoleDisplay(HWND parent, const char* setting);
