// Configuration loaders: the CFG_ settings from the configuration record of
// KVTPOS10, the customer module's KVTAR10 row and the local settings file,
// and the values derived from them.
//
// A statement without a row leaves its settings as they were. A statement
// that fails is shown to the user (what could not be read, with the
// database's message) and the loader changes no setting at all, not even
// those it had read before the failure; it then answers false.
#pragma once

// What a start reads: "Debug" and "MachineType" of the local settings file,
// "POSTill" of the suite's, and from the database this computer's till's
// connection type (KVTCOM14, for "DefaultStore" and "DefaultTill") and the
// back-office system (KVTPOS10). Without an open database only the files are
// read (the host reports the missing database).
bool GetStartInfo();

// Everything, in order: the record, KVTAR10, the pole display and receipt
// printer kinds, the print, default store and till, payment, programs and
// transfer settings, PRICE_FORMAT and the paid-on-account line.
bool GetConfigInfo(const char* Store, const char* TillRef, const char* Employee);
bool GetPaymentConfigInfo(const char* Store, const char* TillRef, const char* Employee);
bool GetProgramsUsingConfigInfo(const char* Store, const char* TillRef, const char* Employee);
// The layouts (KVTPOS10) and this computer's printers: "ReceiptPrinter" and
// "InvoicePrinter" (default "None"), "RecToInvPtr" and "PayToInvPtr"
// (default "F"), and each printer's text mode (HasPrinterCodes).
bool GetPrintInfo(const char* Store, const char* TillRef, const char* Employee);
// True when the printer's driver has control codes on file (KVTPTR1); a
// failed look-up is shown and reads as false.
bool HasPrinterCodes(const char* szPrinter);
// DEFAULT_STORE: "DefaultStore" of the local settings file, else the only
// store of KVTCOM13, else empty.
bool GetDefaultLoc();
// DEFAULT_TILLREF: "DefaultTill" of the local settings file, else the only
// till of the store, else empty.
bool GetDefaultTillRef(const char* szStore);
bool GetTransferConfigInfo();
bool GetBackOfficeSystemInfo();
// INVENTORY_LOCATION: the inventory location of the store.
bool FindInvLoc(const char* szStore);

// Cuts trailing "00" pairs from a date keyed without its year, in place:
// "120500" -> "1205"; a full date whose year is 1000, 2000 or 3000 is kept.
void StripDateZeros(char* Date);
