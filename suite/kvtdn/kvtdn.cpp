// The managed-window loader stand-in: the signature pad, the transfer
// module's forms handed to the transfer module, and a plain word that any
// other form is not here.
#include "suite/kvtdn/kvtdn.h"

#include <strings.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/forms/forms.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/sketch.h"
#include "platform/win/folders.h"
#include "platform/win/module.h"

namespace {

int NotAvailable(const char* assembly, const char* formType, HWND parent) {
  std::string text = std::string("The form ") + (formType ? formType : "") + " (" +
                     (assembly ? assembly : "") + ") is not available on this system.";
  MessageBox(parent, text.c_str(), "Kovatel Software", MB_OK | MB_ICONINFORMATION);
  return 0;
}

// The signature pad: the customer's mark kept beside the sale in
// ".\POSSign" as "<sale link>.sig", with the sale's number, store and till
// from the data text "link,number,store,till". The mark is drawn with the
// mouse on the pad (kept as the picture "<sale link>.png", named in the
// .sig) where the front end has a mouse, or typed.
struct SignatureData {
  char MARK[61];
};

class SignaturePad : public PVDialog {
 public:
  enum : int { IDC_MARK = 101, IDC_PAD = 102, IDC_CLEAR = 103 };
  static constexpr int kPadColumns = 60, kPadLines = 6;
  SignaturePad(HWND parent, std::string data) : PVDialog(parent, Form()), data_(std::move(data)) {
    SetTransferBuffer(&Data);
    OnCommand(IDC_CLEAR, [this] { SetFieldText(IDC_PAD, ""); });
  }
  static const KVTFormDecl& Form() {
    static const KVTFormDecl form = [] {
      KVTFormDecl f("KVSignaturePad", "Kovatel Point of Sale Signature Pad", 64, 14);
      f.Label(0, "Please sign below, then press Accept.", 2, 1, 50);
      f.Sketch(IDC_PAD, 2, 2, kPadColumns, kPadLines);
      f.Edit(IDC_MARK, "Or type it : ", 14, 9, 40, KVT_BIND(SignatureData, MARK));
      f.Button(IDOK, "&Accept", 18, 11);
      f.Button(IDC_CLEAR, "C&lear", 34, 11);
      return f;
    }();
    return form;
  }
  SignatureData Data{};

 protected:
  void CmOk() override {
    DoScrToApp();
    const std::string strokes = GetFieldText(IDC_PAD);
    const bool drawn = !KVTSketchStrokes(strokes).empty();
    if (!drawn && !Data.MARK[0]) {
      MessageBox("A signature is required.", "Signature Pad", MB_OK | MB_ICONEXCLAMATION);
      KVTSetFieldFocus(IDC_MARK);
      return;
    }
    const std::string link = data_.substr(0, data_.find(','));
    std::string error;
    if (link.empty() || link.find_first_of("/\\.") != std::string::npos ||
        !CreateFolder(".\\POSSign", &error)) {
      MessageBox(("The signature could not be kept: " + (error.empty() ? data_ : error)).c_str(),
                 "Signature Pad", MB_OK | MB_ICONSTOP);
      return;
    }
    const std::string picture = link + ".png";
    if (drawn && !KVTWriteSketchPng(strokes, kPadColumns * kSketchCellWidth,
                                    kPadLines * kSketchCellHeight, "POSSign/" + picture, &error)) {
      MessageBox(("The signature could not be kept: " + error).c_str(), "Signature Pad",
                 MB_OK | MB_ICONSTOP);
      return;
    }
    std::ofstream out("POSSign/" + link + ".sig", std::ios::trunc);
    out << data_ << "\n" << (drawn ? picture : std::string(Data.MARK)) << "\n";
    if (!out.flush()) {
      MessageBox("The signature could not be kept.", "Signature Pad", MB_OK | MB_ICONSTOP);
      return;
    }
    CloseWindow(IDOK);
  }

 private:
  std::string data_;
};

}  // namespace

int LoadDotNetWindow(const char* assembly, const char* formType, HWND parent) {
  return NotAvailable(assembly, formType, parent);
}

int LoadDotNetWindowWithData(const char* assembly, const char* formType, HWND parent,
                             const char* data) {
  if (assembly && formType && strcasecmp(assembly, "KVSignaturePad.DLL") == 0 &&
      std::strcmp(formType, "KVSignaturePad.CaptureSignature") == 0) {
    SignaturePad pad(parent, data ? data : "");
    pad.Execute();
    return 0;
  }
  // The transfer forms ("KVCTM.dll") belong to the transfer module, which
  // the host loads.
  if (assembly && formType && strcasecmp(assembly, "KVCTM.dll") == 0) {
    HWND top = parent ? GetTopWindow(parent) : nullptr;
    auto module = top ? reinterpret_cast<HMODULE>(SendMessage(
                            top, KVT_MODULE_REQUEST, 0, reinterpret_cast<LPARAM>("KVTCTM.DLL")))
                      : nullptr;
    using ShowForm = int (*)(const char*, HWND, const char*);
    auto show = module ? GetProc<ShowForm>(module, "KVCTMShowForm") : nullptr;
    if (show && show(formType, parent, data ? data : "")) return 0;
  }
  return NotAvailable(assembly, formType, parent);
}
