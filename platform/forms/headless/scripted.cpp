// The scripted user: steps, answers, expected messages and modal runs.
#include "platform/forms/headless/scripted.h"

#include "platform/forms/dialogs.h"
#include "platform/forms/headless/render.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/runtime.h"

KVTScriptedUser::KVTScriptedUser() = default;

KVTScriptedUser::~KVTScriptedUser() {
  if (&KVTForms::Instance().Backend() == this) KVTForms::Instance().SetBackend(nullptr);
}

void KVTScriptedUser::Install() {
  KVTForms::Instance().SetBackend(this);
}

namespace {

KVTScreen* Target(KVTScriptedUser* b, const std::string& what) {
  KVTScreen* s = KVTForms::Instance().ActiveScreen();
  if (!s) b->AddFailure("no screen is open to take " + what);
  return s;
}

}  // namespace

KVTScriptedUser& KVTScriptedUser::Type(const std::string& text) {
  return Do([this, text] {
    if (Target(this, "the text \"" + text + "\"")) InputType(text);
  });
}

KVTScriptedUser& KVTScriptedUser::Key(const KVTKey& key) {
  return Do([this, key] {
    if (Target(this, "the key " + KVTKeyName(key))) InputKey(key);
  });
}

KVTScriptedUser& KVTScriptedUser::Key(const std::string& name) {
  KVTKey key;
  if (KVTParseKey(name, &key)) return Key(key);
  return Do([this, name] { AddFailure("unknown key \"" + name + "\""); });
}

KVTScriptedUser& KVTScriptedUser::Click(const std::string& caption) {
  return Do([this, caption] {
    KVTScreen* s = Target(this, "a click on \"" + caption + "\"");
    if (!s) return;
    int id = s->FindButton(caption);
    if (id == 0) {
      AddFailure("no button \"" + caption + "\" on \"" + s->Caption() + "\"");
      return;
    }
    if (!InputClick(id))
      AddFailure("the button \"" + caption + "\" on \"" + s->Caption() + "\" is disabled");
  });
}

KVTScriptedUser& KVTScriptedUser::ClickRow(int gridId, int row) {
  return Do([this, gridId, row] {
    if (!Target(this, "a click on a grid row")) return;
    if (!InputClickRow(gridId, row))
      AddFailure("no row " + std::to_string(row) + " in grid " + std::to_string(gridId));
  });
}

KVTScriptedUser& KVTScriptedUser::SelectItem(int fieldId, int index) {
  return Do([this, fieldId, index] {
    if (!Target(this, "a list choice")) return;
    if (!InputSelectItem(fieldId, index))
      AddFailure("no item " + std::to_string(index) + " in list " + std::to_string(fieldId));
  });
}

KVTScriptedUser& KVTScriptedUser::Answer(int button) {
  return Do([this, button] { AddAnswer(button); });
}

KVTScriptedUser& KVTScriptedUser::ExpectMessage(const std::string& text,
                                                const std::string& caption) {
  return Do([this, text, caption] { AddExpectedMessage(text, caption); });
}

void KVTScriptedUser::AddExpectedMessage(const std::string& text, const std::string& caption) {
  Expectation e{text, caption};
  if (checked_ < messages_.size())
    Check(e, messages_[checked_++]);
  else
    expected_.push_back(e);
}

KVTScriptedUser& KVTScriptedUser::Do(std::function<void()> step) {
  steps_.push_back(std::move(step));
  return *this;
}

bool KVTScriptedUser::InputType(const std::string& text) {
  return KVTForms::Instance().Type(text);
}

bool KVTScriptedUser::InputKey(const KVTKey& key) {
  return KVTForms::Instance().Key(key);
}

bool KVTScriptedUser::InputClick(int id) {
  return KVTForms::Instance().Click(id);
}

bool KVTScriptedUser::InputClickRow(int gridId, int row) {
  return KVTForms::Instance().ClickRow(gridId, row);
}

bool KVTScriptedUser::InputSelectItem(int id, int index) {
  return KVTForms::Instance().SelectItem(id, index);
}

void KVTScriptedUser::RunOne() {
  BeforeStep();
  std::function<void()> step = std::move(steps_.front());
  steps_.pop_front();
  step();
}

void KVTScriptedUser::Run() {
  KVTForms::Instance().Idle();
  while (!steps_.empty()) RunOne();
}

void KVTScriptedUser::Finish() {
  for (const Expectation& e : expected_)
    AddFailure("the message \"" + KVTEscapeText(e.text) + "\" was never shown");
  expected_.clear();
  for (int a : answers_)
    AddFailure(std::string("the answer ") + ButtonName(a) + " was never asked for");
  answers_.clear();
  for (const std::string& f : folders_) AddFailure("the folder " + f + " was never asked for");
  folders_.clear();
}

void KVTScriptedUser::Reset() {
  steps_.clear();
  answers_.clear();
  folders_.clear();
  expected_.clear();
  checked_ = 0;
  messages_.clear();
  failures_.clear();
  beeps_ = 0;
}

void KVTScriptedUser::AddFailure(const std::string& what) {
  failures_.push_back(what);
  Emit("FAILED: " + what);
}

void KVTScriptedUser::Emit(const std::string& line) {
  if (sink_) sink_(line);
}

std::string KVTScriptedUser::Render() const {
  return KVTRenderWindow(KVTForms::Instance().ActiveWindow());
}

void KVTScriptedUser::RunModal(PVDialog* dialog) {
  if (++modalDepth_ > 16) {
    AddFailure("dialogs nested too deep at \"" + dialog->Caption() + "\"");
  } else {
    while (dialog->IsRunning()) {
      if (steps_.empty()) {
        AddFailure("the script ended while \"" + dialog->Caption() +
                   "\" was open; it was cancelled");
        break;
      }
      RunOne();
    }
  }
  --modalDepth_;
}

std::string KVTScriptedUser::Describe(const KVTShownMessage& m) {
  std::string buttons;
  for (int b : m.buttons) buttons += std::string(buttons.empty() ? "" : "/") + ButtonName(b);
  return "\"" + KVTEscapeText(m.caption) + "\" (" + (m.icon.empty() ? "" : m.icon + ", ") +
         buttons + "): \"" + KVTEscapeText(m.text) + "\"";
}

void KVTScriptedUser::Check(const Expectation& e, const KVTShownMessage& m) {
  bool same = m.text == e.text && (e.caption.empty() || m.caption == e.caption);
  if (!same) {
    std::string want = "\"" + KVTEscapeText(e.text) + "\"";
    if (!e.caption.empty()) want += " captioned \"" + KVTEscapeText(e.caption) + "\"";
    AddFailure("expected the message " + want + ", but the box shown was " + Describe(m));
  }
}

KVTScriptedUser& KVTScriptedUser::ChooseFolder(const std::string& path) {
  return Do([this, path] { folders_.push_back(path); });
}

bool KVTScriptedUser::BrowseFolder(HWND, const std::string& start, const std::string& title,
                                   std::string* chosen) {
  if (folders_.empty()) {
    AddFailure("an unexpected folder browser \"" + title + "\" at " + start);
    return false;
  }
  *chosen = folders_.front();
  folders_.pop_front();
  Emit("folder \"" + title + "\" from " + start + " -> " +
       (chosen->empty() ? "cancelled" : *chosen));
  return !chosen->empty();
}

int KVTScriptedUser::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                    UINT flags) {
  KVTShownMessage m;
  m.caption = caption;
  m.text = text;
  m.icon = MessageBoxIconName(flags);
  m.buttons = MessageBoxButtons(flags);
  m.defaultButton = MessageBoxDefault(flags);
  bool okOnly = m.buttons.size() == 1;
  std::string problem;
  if (!answers_.empty() && (!okOnly || answers_.front() == IDOK)) {
    int a = answers_.front();
    answers_.pop_front();
    bool fits = false;
    for (int b : m.buttons) fits = fits || b == a;
    if (fits) {
      m.answer = a;
    } else {
      m.answer = m.defaultButton;
      problem = std::string("the answer ") + ButtonName(a) + " does not fit the box ";
    }
  } else if (okOnly) {
    m.answer = IDOK;
  } else {
    m.answer = m.defaultButton;
    problem = "an unexpected question: ";
  }
  messages_.push_back(m);
  Emit("message " + Describe(m) + " -> " + ButtonName(m.answer));
  if (!problem.empty()) AddFailure(problem + Describe(m));
  int pressed = PresentMessage(owner, m, flags);
  if (pressed != m.answer)
    AddFailure(std::string("the box answered ") + ButtonName(pressed) + " when " +
               ButtonName(m.answer) + " was pressed: " + Describe(m));
  if (!expected_.empty()) {
    Expectation e = expected_.front();
    expected_.pop_front();
    ++checked_;
    Check(e, m);
  }
  return pressed;
}

void KVTScriptedUser::Beep() {
  ++beeps_;
  Emit("(beep)");
}
