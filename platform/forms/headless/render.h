// Screens as text a person can read in a terminal: the form laid out in
// character cells, with
//   [value   ]  an editable field      (value   )  a protected one
//   {value   }  a disabled one         >           the field with the focus
//   [x] / [ ]   check boxes            (o) / ( )   radio buttons
//   < OK >      buttons                |*item|     list items (* selected)
// and grids as a header and their shown rows, "*" on the selected row and
// ">" on the current one, the row colour after the row, status marks by
// name. Fields with colours of their own are listed under the form.
#pragma once

#include <string>

#include "platform/base/export.h"

class KVTWindowObject;
class KVTScreen;

// A frame (with its tab window or screen), or a screen; "" for null.
KVT_EXPORT std::string KVTRenderWindow(const KVTWindowObject* window);
KVT_EXPORT std::string KVTRenderScreen(const KVTScreen& screen);
// Text for one transcript line: newline, tab, quote and backslash escaped
// as a script writes them ("\n", "\t", "\"", "\\").
KVT_EXPORT std::string KVTEscapeText(const std::string& text);
