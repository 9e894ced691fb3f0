// Module-wide state: the module's names and formats, the configuration
// settings (CFG_), the defaults derived from them and the login values.
// Written only by load, Initialize, the configuration loaders and the login;
// read everywhere on the user-interface thread.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/textwidth.h"
#include "platform/win/window.h"

inline constexpr int KVT_SETTING_LEN = 50;
inline constexpr int KVT_PRINTER_LEN = 100;

extern HINSTANCE hInstance;     // this module
extern HINSTANCE hApplication;  // the host application; every connection is opened with it

extern char PROGRAM_NAME[KVT_SETTING_LEN];
extern char PROGRAM_ABBR[KVT_SETTING_LEN];
extern char LOCAL_INI[KVT_SETTING_LEN];
extern char KVT_INI[KVT_SETTING_LEN];
extern char SQL_INI[KVT_SETTING_LEN];
extern char TOTAL_FORMAT[KVT_SETTING_LEN];
extern char CURRENCY_FORMAT[KVT_SETTING_LEN];
extern char CANADIAN_FORMAT[KVT_SETTING_LEN];
extern int DEBUGMODE;
extern int POSTILL;
extern char MACHINETYPE[KVT_SETTING_LEN];
extern char CONNECTIONTYPE[KVT_SETTING_LEN];

// The configuration record of KVTPOS10: column, setting, in select order.
#define KVT_CONFIG_RECORD(X)                       \
  X(STAXAUTH, CFG_SALESTAXAUTH)                    \
  X(UPDATEQOH, CFG_UPDATEQOH)                      \
  X(SNDALMS, CFG_SOUNDALARMS)                      \
  X(CHANGEDATE, CFG_CHANGEDATE)                    \
  X(VIEWCUSTBL, CFG_ALLOWVIEWCUSTOMERBALANCE)      \
  X(REMOVETAX, CFG_ALLOWREMOVETAX)                 \
  X(MAXCHRDEPT, CFG_MAXDEPTCHARACTERS)             \
  X(MAXQTY, CFG_MAXQTY)                            \
  X(MAXAMOUNT, CFG_MAXAMOUNT)                      \
  X(NONTAXKEY, CFG_NONTAXKEY)                      \
  X(DECFORPRC, CFG_DECIMALSFORPRICE)               \
  X(DISPQOH, CFG_DISPQOH)                          \
  X(DISPPRICE, CFG_DISPPRICE)                      \
  X(ENTERSREP, CFG_ENTERSALESREP)                  \
  X(DEFSREP, CFG_DEFAULTSALESREP)                  \
  X(SRCHBARCD, CFG_SEARCHBARCODE)                  \
  X(CHGTLLDESC, CFG_ALLOWCHANGETILLDESC)           \
  X(PRMPTONQTY, CFG_PROMPTONQTY)                   \
  X(DISPRCECH, CFG_DISPLAYPRICEEACH)               \
  X(PRMPTONAMT, CFG_PROMPTONAMT)                   \
  X(PAUSECMPLT, CFG_PAUSEWHENSALECOMPLETE)         \
  X(PROMPTCUST, CFG_PROMPTFORCUSTOMER)             \
  X(CASHCUST, CFG_DEFAULTCASHCUST)                 \
  X(CHECKCUST, CFG_DEFAULTCHECKCUST)               \
  X(CCARDCUST, CFG_DEFAULTCCARDCUST)               \
  X(FSCUST, CFG_DEFAULTFSCUST)                     \
  X(ARCUST, CFG_DEFAULTARCUST)                     \
  X(ADDCUST, CFG_ALLOWADDINGCUSTOMERS)             \
  X(PSWDCUST, CFG_PASSWORDADDINGCUSTOMERS)         \
  X(PSWD, CFG_PASSWORD)                            \
  X(VALCHECKS, CFG_VALIDATECHECKS)                 \
  X(PRMPTVOID, CFG_PROMPTONVOID)                   \
  X(PRMPTRET, CFG_PROMPTONRETURN)                  \
  X(DEFCHGAMT, CFG_DEFAULTCHARGEAMTTOSALETOTAL)    \
  X(DEFCCAMT, CFG_DEFAULTCCAMTTOSALETOTAL)         \
  X(TAXCHG, CFG_ALLOWCHANGINGTAX)                  \
  X(CRTLMTOR, CFG_ALLOWCREDITLIMITOVERRIDE)        \
  X(PSWDCRTLOR, CFG_PASSWORDCREDITLIMITOVERRIDE)   \
  X(CUSTSRCH, CFG_ALLOWCUSTSEARCH)                 \
  X(ENTERDEC, CFG_ENTERDECIMALSONPAYMENT)          \
  X(MAXTLLDISC, CFG_MAXTILLDISCOUNT)               \
  X(CHRGCOPIES, CFG_CHARGECOPIES)                  \
  X(CCRDCOPIES, CFG_CCARDCOPIES)                   \
  X(POACOPIES, CFG_POACOPIES)                      \
  X(PRNTCLSOUT, CFG_PRINTCLOSEOUT)                 \
  X(CLSTOPRINT, CFG_CLOSEOUTTOPRINTER)             \
  X(TLLREFATCO, CFG_TILLREFATCLOSEOUT)             \
  X(TLRFTOPRNT, CFG_FORCETILLREFTOPRINTER)         \
  X(PRNTNOSALE, CFG_PRINTNOSALERECEIPT)            \
  X(PRMPTADREC, CFG_ALLOWADDLRECEIPT)              \
  X(CLSOUTFORM, CFG_CLOSEOUTFORM)                  \
  X(PRTINV, CFG_ALLOWPRINTINVOICE)                 \
  X(CATTAXAUTH, CFG_USESALESCATEGORYTAXAUTH)       \
  X(TAXEXCUST, CFG_TAXEXEMPTCUSTNONTAXABLE)        \
  X(DEFCCTYPE, CFG_DEFAULTCCTYPE)                  \
  X(TRNPSWD, CFG_TRANSFERPASSWORD)                 \
  X(CASHCOPIES, CFG_CASHCOPIES)                    \
  X(CHKCOPIES, CFG_CHKCOPIES)                      \
  X(CSRTCOPIES, CFG_CASHRTNCOPIES)                 \
  X(CRRTCOPIES, CFG_CHRGRTNCOPIES)                 \
  X(FSCOPIES, CFG_FSCOPIES)                        \
  X(VOIDCOPIES, CFG_VOIDCOPIES)                    \
  X(NSADVSN, CFG_NOSALEADVSALENUMBER)              \
  X(CCADVSN, CFG_CASHCHKGADVSALENUMBER)            \
  X(VIEWCUSTCM, CFG_VIEWCUSTCOMMENTSONCUSTBAL)     \
  X(CASHCHK, CFG_ALLOWCASHCHECKING)                \
  X(PRMPTAID, CFG_IDPROMPTALCOHOL)                 \
  X(PRMPTTID, CFG_IDPROMPTTOBACCO)                 \
  X(DISPCUSTCM, CFG_SHOWCUSTCOMMENTSONTAB2)        \
  X(ALLOWPOACC, CFG_ALLOWPOACC)                    \
  X(SHOWSRWIN, CFG_SHOWINVSRCHWIN)                 \
  X(OPNCDCHG, CFG_OPENCASHDRAWERCHARGESALES)       \
  X(RTNPRVITM, CFG_ALLOWRTNPRVITEM)                \
  X(VOIDTAB1, CFG_ALLOWVOIDTAB1)                   \
  X(ALCAGE, CFG_ALCOHOLAGE)                        \
  X(TABAGE, CFG_TOBACCOAGE)                        \
  X(PFTC, CFG_PFTC)                                \
  X(ALLOWPOAGC, CFG_ALLOWPOAGC)                    \
  X(DEFGCTYPE, CFG_DEFAULTGCTYPE)                  \
  X(GCARDCUST, CFG_DEFAULTGCARDCUST)               \
  X(PRMPTGCTYP, CFG_PROMPTGCTYPE)                  \
  X(PRMPTGCNUM, CFG_PROMPTGCNUMBER)                \
  X(PRMPTGCEXP, CFG_PROMPTGCEXPDATE)               \
  X(PRMPTGCATH, CFG_PROMPTGCAUTHCODE)              \
  X(POAGCTYP, CFG_POAPROMPTGCTYPE)                 \
  X(POAGCNUM, CFG_POAPROMPTGCNUMBER)               \
  X(POAGCEXP, CFG_POAPROMPTGCEXPDATE)              \
  X(POAGCATH, CFG_POAPROMPTGCAUTHCODE)             \
  X(CANEXCHG, CFG_POCANADIANEXCHANGE)              \
  X(OPENCCSALE, CFG_OPENCASHDRAWERCREDITCARDSALES) \
  X(ALLOWCBCC, CFG_ALLOWCASHBACKONCC)

// Payment details asked for, for sales and for paid-on-account.
#define KVT_PAYMENT_CONFIG(X)           \
  X(PRMPTCCTYP, CFG_PROMPTCCTYPE)       \
  X(PRMPTCCNUM, CFG_PROMPTCCNUMBER)     \
  X(PRMPTCCEXP, CFG_PROMPTCCEXPDATE)    \
  X(PRMPTCCATH, CFG_PROMPTCCAUTHCODE)   \
  X(PRMPTCKNUM, CFG_PROMPTCHECKNUMBER)  \
  X(PRMPTCKACT, CFG_PROMPTCHECKACCTNUM) \
  X(PRMPTPONUM, CFG_PROMPTPONUMBER)     \
  X(POACCTYP, CFG_POAPROMPTCCTYPE)      \
  X(POACCNUM, CFG_POAPROMPTCCNUMBER)    \
  X(POACCEXP, CFG_POAPROMPTCCEXPDATE)   \
  X(POACCATH, CFG_POAPROMPTCCAUTHCODE)  \
  X(POACKNUM, CFG_POAPROMPTCHECKNUMBER) \
  X(POACKACT, CFG_POAPROMPTCHECKACCTNUM)

#define KVT_DECLARE_SETTING(column, setting) extern char setting[KVT_SETTING_LEN];
KVT_CONFIG_RECORD(KVT_DECLARE_SETTING)
KVT_PAYMENT_CONFIG(KVT_DECLARE_SETTING)
#undef KVT_DECLARE_SETTING

extern char CFG_USEINVENTORY[KVT_SETTING_LEN];
extern char CFG_USECSTORE[KVT_SETTING_LEN];
extern char CFG_RECEIPTFORM[KVT_SETTING_LEN];
extern char CFG_INVOICEFORM[KVT_SETTING_LEN];
extern char CFG_DISPLAYTAXDETAIL[KVT_SETTING_LEN];
extern char CFG_RECEIPTPRINTER[KVT_PRINTER_LEN];
extern char CFG_INVOICEPRINTER[KVT_PRINTER_LEN];
extern int CFG_RECEIPTPRINTERTEXTMODE;
extern int CFG_INVOICEPRINTERTEXTMODE;
extern char CFG_RECTOINVPTR[KVT_SETTING_LEN];
extern char CFG_PAYTOINVPTR[KVT_SETTING_LEN];
extern char CFG_POLEDISPLAY[KVT_SETTING_LEN];
extern char CFG_RECPTRTYPE[KVT_SETTING_LEN];
extern char CFG_AUTONUMBERNEWCUSTOMERS[KVT_SETTING_LEN];
extern char CFG_DEFAULTBALANCEFORWARD[KVT_SETTING_LEN];
extern char CFG_DISPLAYPHONENUMBER[KVT_SETTING_LEN];
extern char CFG_USEBATCHES[KVT_SETTING_LEN];
extern char CFG_BOSYSTEM[KVT_SETTING_LEN];

extern char DEFAULT_STORE[KVT_SETTING_LEN];
extern char DEFAULT_TILLREF[KVT_SETTING_LEN];
extern char INVENTORY_LOCATION[KVT_SETTING_LEN];
extern char PRICE_FORMAT[KVT_SETTING_LEN];
extern char POAREF[KVT_SETTING_LEN];
extern char POADESCR[KVT_SETTING_LEN];
extern char POACATEGORY[KVT_SETTING_LEN];

// The till shift every sale and report belongs to, set by a successful login.
extern char LOGIN_STORE[KVT_SETTING_LEN];
extern char LOGIN_DATE[KVT_SETTING_LEN];
extern char LOGIN_TILL[KVT_SETTING_LEN];
extern char LOGIN_SHIFT[KVT_SETTING_LEN];
extern char LOGIN_EMPLOYEE[KVT_SETTING_LEN];

// Copies text into a module-wide setting, cut to fit between characters.
template <std::size_t N>
void KVTSetSetting(char (&setting)[N], const char* text) {
  KVTCopyText(setting, text);
}

// Every setting and value of this header at its default, as a fresh module
// has them before anything is read: the module's names, settings files and
// formats, two price decimals, the paid-on-account line, no pole display and
// no receipt or invoice printer ("None", receipts not to the invoice printer:
// "F"); every other configuration and login value empty.
// Reads no file and no database: Initialize and the configuration loaders
// (posmisc.h) do the reading. hInstance and hApplication are left alone.
void KVTSetDefaultSettings();

// A fresh module: the default settings, and every cache the module keeps
// emptied. For tests and for a host that reinitialises the module.
void KVTResetModuleState();

// A cache anywhere in the module registers how it is emptied, once; the
// return value lets a static do it:
//   const bool kForgotten = KVTClearedOnReset([] { g_tries = -1; });
bool KVTClearedOnReset(void (*clear)());

// The kind of database connection 1 is set up for, as ".\\KVTSQL.INI" names
// it ("Translate": "MSSQL", "PGSQL", ...), read once and kept until
// KVTResetModuleState, so pricing and saving never read the file again.
const std::string& KVTConnectionOneKind();
