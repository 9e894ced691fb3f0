// Printers through libcups.
#include "platform/win/printer.h"

#include <cups/cups.h>

#include <cstring>
#include <mutex>

namespace {

std::mutex g_captureMutex;
KVTPrintCapture g_capture;

std::string CupsError() {
  const char* text = cupsLastErrorString();
  return text && *text ? text : "The printing system did not answer.";
}

}  // namespace

KVT_PRINTER_SELECT KVTNewPrinterSelect() {
  KVT_PRINTER_SELECT p;
  std::memset(&p, 0, sizeof p);
  p.version = 1;
  p.lpi = 6;
  p.copies = 1;
  std::strncpy(p.destination, KVT_VIEW_WINDOW, sizeof p.destination - 1);
  return p;
}

bool KVTListPrinters(std::vector<std::string>* names, std::string* error) {
  cups_dest_t* dests = nullptr;
  int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  if (n == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    if (error) *error = CupsError();
    return false;
  }
  names->clear();
  for (int i = 0; i < n; ++i)
    if (!dests[i].instance) names->push_back(dests[i].name);
  cupsFreeDests(n, dests);
  return true;
}

void KVTSetPrintCapture(KVTPrintCapture capture) {
  std::lock_guard<std::mutex> lock(g_captureMutex);
  g_capture = std::move(capture);
}

bool KVTPrint(const KVTPrintJob& job, std::string* error) {
  {
    std::lock_guard<std::mutex> lock(g_captureMutex);
    if (g_capture) return g_capture(job, error);
  }
  std::string ignored;
  std::string& why = error ? *error : ignored;
  int id = cupsCreateJob(CUPS_HTTP_DEFAULT, job.printer.c_str(), job.title.c_str(), 0, nullptr);
  if (id == 0) {
    why = CupsError();
    return false;
  }
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, job.printer.c_str(), id, job.title.c_str(),
                        job.format.c_str(), 1) != HTTP_STATUS_CONTINUE ||
      cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.data.data(), job.data.size()) !=
          HTTP_STATUS_CONTINUE) {
    why = CupsError();
    cupsFinishDocument(CUPS_HTTP_DEFAULT, job.printer.c_str());
    cupsCancelJob(job.printer.c_str(), id);
    return false;
  }
  if (cupsFinishDocument(CUPS_HTTP_DEFAULT, job.printer.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
    why = CupsError();
    return false;
  }
  return true;
}
