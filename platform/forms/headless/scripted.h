// The scripted user: a queue of steps (typed text, keys, button clicks,
// grid clicks, answers, checks, any code) run in order, by Run() at the top
// or by a modal dialog waiting for input, so one script drives a dialog
// opened in the middle of it. A dialog still open when the steps run out is
// cancelled and counted as a failure.
//
// Message boxes: every box shown is kept in order with its caption, text,
// icon, buttons and answer. A question (more than one button) takes the
// next Answer queued; with none queued it is a failure (caption and text
// given) and gets its default button. An OK-only box is acknowledged. Each
// ExpectMessage checks the next box shown, in order.
//
// The same script runs on every front end: the headless one feeds the
// runtime directly; one that draws widgets (platform/forms/qt) overrides the
// Input* and PresentMessage hooks to put the same input through its widgets
// and to press the answer on a real box.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/backend.h"
#include "platform/forms/keys.h"

struct KVTShownMessage {
  std::string caption;
  std::string text;
  std::string icon;  // "stop", "question", "exclamation", "information" or ""
  std::vector<int> buttons;
  int defaultButton = 0;
  int answer = 0;
};

class KVT_EXPORT KVTScriptedUser : public KVTFormsBackend {
 public:
  KVTScriptedUser();
  // Uninstalls itself when it is the runtime's backend.
  ~KVTScriptedUser() override;
  // Makes this the runtime's front end.
  void Install();

  // The scripted user. Each call queues one step.
  KVTScriptedUser& Type(const std::string& text);
  KVTScriptedUser& Key(const KVTKey& key);
  // A key by name ("Shift+Tab", see KVTParseKey); a bad name is a failure.
  KVTScriptedUser& Key(const std::string& name);
  // Clicks the button, check box or radio button with this caption ("&"
  // ignored) on the active screen; none there is a failure.
  KVTScriptedUser& Click(const std::string& caption);
  KVTScriptedUser& ClickRow(int gridId, int row);
  KVTScriptedUser& SelectItem(int fieldId, int index);
  // The answer to the next question (IDYES, IDNO, IDOK, IDCANCEL...).
  KVTScriptedUser& Answer(int button);
  // The next message box shown has this text (and caption, when given).
  KVTScriptedUser& ExpectMessage(const std::string& text, const std::string& caption = "");
  // The folder chosen in the next folder browser ("" cancels it). A browser
  // opened with none queued is a failure and is cancelled.
  KVTScriptedUser& ChooseFolder(const std::string& path);
  // The same two at once, from a step that is running.
  void AddAnswer(int button) { answers_.push_back(button); }
  void AddExpectedMessage(const std::string& text, const std::string& caption = "");
  // Any code, run in its turn (checks inside a modal dialog, say).
  KVTScriptedUser& Do(std::function<void()> step);
  // Runs the queued steps until none is left.
  void Run();
  bool HasSteps() const { return !steps_.empty(); }
  // The end of a script: an expected message never shown and an answer
  // never asked for become failures.
  void Finish();
  // Forgets steps, answers, messages, failures and beeps.
  void Reset();

  // Input now, from a running step, through the front end's own input path
  // (the Input* hooks). False as the runtime's KVTForms::Type... say.
  bool PerformType(const std::string& text) { return InputType(text); }
  bool PerformKey(const KVTKey& key) { return InputKey(key); }
  bool PerformClick(int id) { return InputClick(id); }
  bool PerformClickRow(int gridId, int row) { return InputClickRow(gridId, row); }
  bool PerformSelectItem(int id, int index) { return InputSelectItem(id, index); }

  const std::vector<KVTShownMessage>& Messages() const { return messages_; }
  const std::vector<std::string>& Failures() const { return failures_; }
  void AddFailure(const std::string& what);
  int Beeps() const { return beeps_; }
  // Each event as a transcript line as it happens: message boxes, beeps,
  // failures.
  void SetEventSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  // The window on top (modal dialog or active frame) as text; "" when none.
  std::string Render() const;
  // What a script's "show" prints: the window on top as text. A front end
  // that draws may keep a picture of it as well.
  virtual std::string Show() { return Render(); }

  // KVTFormsBackend.
  void RunModal(PVDialog* dialog) override;
  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                     UINT flags) override;
  void Beep() override;
  bool BrowseFolder(HWND owner, const std::string& start, const std::string& title,
                    std::string* chosen) override;

 protected:
  // How input reaches the screens; by default straight into the runtime
  // (KVTForms::Type, Key, Click, ClickRow, SelectItem).
  virtual bool InputType(const std::string& text);
  virtual bool InputKey(const KVTKey& key);
  virtual bool InputClick(int id);
  virtual bool InputClickRow(int gridId, int row);
  virtual bool InputSelectItem(int id, int index);
  // The box `m`, its answer decided (m.answer), is shown to the user, who
  // presses that answer; returns the button the box reported. By default no
  // box is drawn and the answer comes back as it is.
  virtual int PresentMessage(HWND owner, const KVTShownMessage& m, UINT flags) { return m.answer; }
  // Before each step runs (a front end that draws catches up here).
  virtual void BeforeStep() {}
  void Emit(const std::string& line);

 private:
  struct Expectation {
    std::string text;
    std::string caption;
  };
  void RunOne();
  void Check(const Expectation& e, const KVTShownMessage& m);
  static std::string Describe(const KVTShownMessage& m);

  std::deque<std::function<void()>> steps_;
  std::deque<int> answers_;
  std::deque<std::string> folders_;
  std::deque<Expectation> expected_;  // waiting for boxes not shown yet
  std::size_t checked_ = 0;           // boxes already matched by an expectation
  std::vector<KVTShownMessage> messages_;
  std::vector<std::string> failures_;
  int beeps_ = 0;
  int modalDepth_ = 0;
  std::function<void(const std::string&)> sink_;
};
