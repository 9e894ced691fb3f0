// Message box flags, button names and the call to the front end.
#include "platform/forms/msgbox.h"

#include <strings.h>

#include "platform/forms/backend.h"
#include "platform/forms/runtime.h"

std::vector<int> MessageBoxButtons(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

int MessageBoxDefault(UINT flags) {
  std::vector<int> buttons = MessageBoxButtons(flags);
  std::size_t i = (flags & MB_DEFMASK) >> 8;
  return i < buttons.size() ? buttons[i] : buttons.front();
}

const char* MessageBoxIconName(UINT flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP:
      return "stop";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONEXCLAMATION:
      return "exclamation";
    case MB_ICONINFORMATION:
      return "information";
    default:
      return "";
  }
}

namespace {
const char* const kButtonNames[] = {"?", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
}

const char* ButtonName(int id) {
  return id >= IDOK && id <= IDNO ? kButtonNames[id] : "?";
}

int ButtonFromName(const std::string& name) {
  for (int id = IDOK; id <= IDNO; ++id)
    if (strcasecmp(name.c_str(), kButtonNames[id]) == 0) return id;
  return 0;
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
  return KVTForms::Instance().ShowMessageBox(owner, text ? text : "", caption ? caption : "",
                                             flags);
}

void MessageBeep(UINT) {
  KVTForms::Instance().Beep();
}
