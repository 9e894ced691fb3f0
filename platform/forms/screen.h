// A screen: the runtime state of a declared form (field values, protection,
// colours, visibility, focus, grids), its field buffer, its field checker,
// and the way keys and focus flow through it.
//
// Keys and focus:
//  - PreProcessMsg sees every key first (WM_KEYDOWN with the virtual-key
//    code; GetKeyState tells Shift, Ctrl and Alt) and every typed character
//    (WM_CHAR, its code point); returning true consumes it.
//  - Otherwise the runtime's own handling applies: Enter, Tab and the
//    special keys (SetSpecialKey) leave the field forward; Shift+Tab moves
//    back without any check; Esc sends IDCANCEL; Space toggles a check box
//    or presses a button; Up and Down move in lists and grids; Enter on a
//    button presses it; keys held with Alt are left alone.
//  - Leaving a field forward by a key first copies its screen text into its
//    buffer member, then runs the field checker's VerifyFields (field id):
//    0 lets the focus go on to the next field; non-zero means the checker
//    dealt with the field (the focus stays, or the checker moved it). A
//    field that keeps the focus has its text selected: typing replaces it.
//  - Accepting the screen (IDOK) copies every field into the buffer and runs
//    VerifyRequiredFields; the screen closes with IDOK only when it passes.
//  - The focus reaches visible, enabled fields that take it, protected ones
//    included (they show their value but take no typing). Entering a field
//    runs its OnSetFocus handler; moving the focus by program does too, but
//    only a key runs VerifyFields.
//  - A command posted to the screen (PostMessage(WM_COMMAND, id)) runs after
//    the handler that posted it returns, through EvCommand, as a button's
//    command or IDOK and IDCANCEL do.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/datatbl.h"
#include "platform/forms/form.h"
#include "platform/forms/keys.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/winobj.h"

// The checks of a screen's fields (KVTPOS1A, POS2A, ...).
class KVT_EXPORT KVTFieldChecker {
 public:
  virtual ~KVTFieldChecker();
  // The user left field `fieldId` by a key; its text is in the buffer.
  // 0: go on to the next field. Non-zero: the checker dealt with the field
  // (the focus stays where it is now, on the field or where the checker put it).
  virtual int VerifyFields(int fieldId) = 0;
  // The screen is being accepted. Non-zero: it may close.
  virtual int VerifyRequiredFields() { return 1; }
};

// The character a caption marks with "&" for Alt, upper-cased ("&Note": 'N',
// "Sa&le": 'L'); 0 when none ("&&" is a plain "&").
KVT_EXPORT char KVTMnemonic(const std::string& caption);

// What the runtime keeps of one field; front ends draw it.
struct KVTFieldState {
  std::string text;   // the value of an edit or combo, the text of a label or help line
  std::string label;  // the prompt of an edit, list or combo; the caption of the others
  bool checked = false;
  std::vector<std::string> items;  // lists and combos
  int selected = KVT_NONE;
  bool protect = false;
  bool visible = true;
  bool enabled = true;
  COLORREF fg = KVT_DEFAULT_COLOR;
  COLORREF bg = KVT_DEFAULT_COLOR;
  HFONT font = nullptr;
  bool replaceOnType = false;  // just entered: the next character replaces the text
  int gaugeLow = 0;            // a gauge's range and value; its text shows them as a bar
  int gaugeHigh = 100;
  int gaugeValue = 0;
};

class KVT_EXPORT KVTScreen : public KVTWindowObject {
 public:
  // `buffer` is the screen's field buffer (may be set later with
  // SetTransferBuffer); the declaration is copied.
  KVTScreen(HWND parent, const KVTFormDecl& form, void* buffer = nullptr);
  ~KVTScreen() override;

  static KVTScreen* FromHandle(HWND hwnd);
  const KVTFormDecl& Form() const { return form_; }
  void SetTransferBuffer(void* buffer) { buffer_ = buffer; }
  void* TransferBuffer() const { return buffer_; }
  // Not owned; null removes it.
  void SetFieldChecker(KVTFieldChecker* checker) { checker_ = checker; }
  KVTFieldChecker* FieldChecker() const { return checker_; }

  // Makes the window, copies the buffer onto the screen, runs SetupWindow,
  // and gives the first field the focus when SetupWindow chose none.
  bool Create() override;

  // Buffer and screen. DoScrToApp copies the screen into the buffer,
  // DoAppToScr the buffer onto the screen: one field, or every field.
  void DoScrToApp();
  void DoScrToApp(int id);
  void DoAppToScr();
  void DoAppToScr(int id);
  void UpdateApp() { DoScrToApp(); }
  void UpdateScreen() { DoAppToScr(); }
  // Sets a field's buffer member and its screen text (labels: the text).
  bool SetFieldVar(int id, const char* text);
  // The screen text only.
  bool SetFieldText(int id, const std::string& text);
  std::string GetFieldText(int id) const;
  bool SetFieldLabel(int id, const std::string& label);

  void ProtectField(int id);
  void UnprotectField(int id);
  bool IsFieldProtected(int id) const;
  void SetFieldColors(int id, COLORREF fg, COLORREF bg);
  void ShowField(int id, bool show);
  bool IsFieldVisible(int id) const;
  void EnableField(int id, bool enable);
  bool IsFieldEnabled(int id) const;
  void SetFieldFont(int id, HFONT font);

  // Check boxes and radio buttons (checking a radio button clears the
  // others of its group).
  void SetCheck(int id, bool checked);
  bool GetCheck(int id) const;
  // Lists and combos.
  void ClearList(int id);
  int AddListItem(int id, const std::string& text);
  int GetListCount(int id) const;
  std::string GetListItem(int id, int index) const;
  bool SetListSelection(int id, int index);
  int GetListSelection(int id) const;

  // Focus. KVTSetFieldFocus is false (nothing changes) for a field that is
  // hidden, disabled or unknown.
  bool KVTSetFieldFocus(int id);
  int GetFocusField() const { return focus_; }
  void SetFocusPrevField();
  void SetFocusNextField();
  // The field Tab would go to from `from` (0 when none).
  int NextFieldId(int from) const;
  int PrevFieldId(int from) const;
  // A key that leaves a field forward as Enter does (running VerifyFields).
  void SetSpecialKey(UINT vk, bool on = true);
  bool LastMessageWasKey() const { return KVTLastMessageWasKey(); }

  // Gauges: the range, then the value within it (kept inside the range).
  // The field's text is the bar as text: "[#####.....] 50%".
  void SetGaugeRange(int id, int low, int high);
  void SetGaugeValue(int id, int value);
  int GetGaugeValue(int id) const;

  TDataTbl* Grid(int id);
  const TDataTbl* Grid(int id) const;

  int MessageBox(const char* text, const char* caption, UINT flags = MB_OK);

  // Ends the screen: a dialog ends its modal run with `code`, an MDI screen
  // or a tab page closes its window.
  virtual void CloseWindow(int code = IDCANCEL);
  bool IsClosing() const { return closing_; }

  // Handlers by control id. OnChange runs when the user toggles a check box
  // or radio button, picks a list item or types into an edit.
  void OnCommand(int id, std::function<void()> handler);
  void OnSetFocus(int id, std::function<void()> handler);
  void OnKillFocus(int id, std::function<void()> handler);
  void OnChange(int id, std::function<void()> handler);
  void OnGridClick(int gridId, std::function<void(int row)> handler);
  // A double click on a row (after the click itself): a pick list chooses it.
  void OnGridDoubleClick(int gridId, std::function<void(int row)> handler);

  // Input from a front end; the runtime (KVTForms) routes it to the active
  // screen and runs the posted messages afterwards. UserKey is true when the
  // screen used the key. The others are false when the control is unknown,
  // hidden or disabled. A disabled screen (EnableWindow(false)) takes nothing.
  bool UserKey(const KVTKey& key);
  bool UserType(const std::string& text);
  bool UserClick(int id);
  bool UserSelectItem(int id, int index);
  bool UserClickRow(int gridId, int row);
  bool UserDoubleClickRow(int gridId, int row);
  // A stroke drawn on a drawing pad ("x,y x,y ..." in the pad's pixels),
  // added to its strokes.
  bool UserDraw(int id, const std::string& stroke);
  // The id of the visible button (or check box or radio button) whose
  // caption reads `caption`, ignoring "&" and case; 0 when none.
  int FindButton(const std::string& caption) const;
  // The id of the visible, enabled button (or check box or radio button)
  // whose caption marks `c` with "&" ("&Note" marks N), without regard to
  // case; 0 when none.
  int FindMnemonic(char c) const;

  // For front ends.
  const KVTFieldState* FieldState(int id) const;
  const KVTFieldState& FieldStateAt(std::size_t index) const { return states_[index]; }

 protected:
  virtual bool PreProcessMsg(MSG& msg);
  // IDOK: copy the screen, VerifyRequiredFields, close with IDOK.
  virtual void CmOk();
  // IDCANCEL: close with IDCANCEL.
  virtual void CmCancel();
  void EvCommand(UINT id) override;
  void WindowDestroyed() override;
  void MarkClosing() { closing_ = true; }

 private:
  KVTFieldState* State(int id);
  const KVTFieldState* State(int id) const;
  const KVTFieldDecl* Decl(int id) const { return form_.Find(id); }
  bool CanFocus(const KVTFieldDecl& f, const KVTFieldState& s) const;
  void ChangeFocus(int id);
  void LeaveForward();
  bool DefaultKey(const KVTKey& key);
  void TypeChar(const std::string& c);  // one character, all its bytes
  bool GridKey(TDataTbl& grid, const KVTKey& key);
  void Fire(const std::map<int, std::function<void()>>& handlers, int id);
  void CopyToBuffer(const KVTFieldDecl& f, const KVTFieldState& s);
  void CopyToScreen(const KVTFieldDecl& f, KVTFieldState& s);
  void Toggle(int id);

  KVTFormDecl form_;
  void* buffer_;
  KVTFieldChecker* checker_ = nullptr;
  std::vector<KVTFieldState> states_;  // parallel to form_.fields
  std::map<int, std::unique_ptr<TDataTbl>> grids_;
  int focus_ = 0;
  int focusDepth_ = 0;
  bool closing_ = false;
  std::set<UINT> specialKeys_;
  std::map<int, std::function<void()>> onCommand_, onSetFocus_, onKillFocus_, onChange_;
  std::map<int, std::function<void(int)>> onGridClick_, onGridDoubleClick_;
};
