// Configuration loaders: the CFG_ settings from the configuration record of
// KVTPOS10, the customer module's KVTAR10 row and the local settings file,
// and the values derived from them. No loader reports failure: a statement
// without a row leaves the settings as they were.
#pragma once

// Everything, in order: the record, KVTAR10, the pole display and receipt
// printer kinds, the print, default store and till, payment, programs and
// transfer settings, PRICE_FORMAT and the paid-on-account line.
void GetConfigInfo(const char* Store, const char* TillRef, const char* Employee);
void GetPaymentConfigInfo(const char* Store, const char* TillRef, const char* Employee);
void GetProgramsUsingConfigInfo(const char* Store, const char* TillRef, const char* Employee);
void GetPrintInfo(const char* Store, const char* TillRef, const char* Employee);
// DEFAULT_STORE: "DefaultStore" of the local settings file, else the only
// store of KVTCOM13, else empty.
void GetDefaultLoc();
// DEFAULT_TILLREF: "DefaultTill" of the local settings file, else the only
// till of the store, else empty.
void GetDefaultTillRef(const char* szStore);
void GetTransferConfigInfo();
void GetBackOfficeSystemInfo();
// INVENTORY_LOCATION: the inventory location of the store.
void FindInvLoc(const char* szStore);

// Cuts trailing "00" pairs from a date keyed without its year, in place:
// "120500" -> "1205"; a full date whose year is 1000, 2000 or 3000 is kept.
void StripDateZeros(char* Date);
