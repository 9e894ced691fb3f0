// The module's exported entry points (extern "C"), as the host calls them,
// and the module-side helpers the exports share.
#pragma once

#include "platform/base/export.h"
#include "platform/forms/forms.h"

using HMODULE = void*;

KVT_EXTERN_C int DllEntryPoint(HINSTANCE instance, unsigned long reason, void* reserved);
KVT_EXTERN_C int WEP(int);
KVT_EXTERN_C int Initialize(HINSTANCE hAppInstance);
KVT_EXTERN_C int Terminate(HINSTANCE hAppInstance);
KVT_EXTERN_C int Setup(HINSTANCE hAppInstance);
KVT_EXTERN_C int StartPOS(HWND hWnd);
KVT_EXTERN_C int POSLogin(HWND hWnd);
KVT_EXTERN_C int DoPOSSales(HWND hWnd);
KVT_EXTERN_C int DoPOSConfig(HWND hWnd);
KVT_EXTERN_C int DoConfigureMachine(HWND hWnd);
KVT_EXTERN_C int TransferSales(HWND hWnd);
KVT_EXTERN_C int DoCustomerInfo(HWND hWnd, const char* loadvalue);
KVT_EXTERN_C int DoBadCheckSetup(HWND hWnd);
KVT_EXTERN_C int DoViewDailySales(HWND hWnd);
KVT_EXTERN_C int CreatePeriodicOpts(HWND hWnd);
KVT_EXTERN_C int DoTransferSalesByDay(HWND hWnd);
KVT_EXTERN_C int DoImportCustomers(HWND hWnd);
KVT_EXTERN_C int DoImportSales(HWND hWnd);
KVT_EXTERN_C int DoExportData(HWND hWnd);
KVT_EXTERN_C int DoImportData(HWND hWnd);
KVT_EXTERN_C int GetPOSView(HWND hWnd);
KVT_EXTERN_C int GetBadCC(HWND hWnd);
KVT_EXTERN_C int PurgeSales(HWND hWnd);
KVT_EXTERN_C int ShowImportDataForm(HWND hWnd);
KVT_EXTERN_C int ShowExportDataForm(HWND hWnd);
KVT_EXTERN_C int OpenDoTransferSales(HWND hWnd, const char* szData);
KVT_EXTERN_C int OpenDoTransferSalesImport(HWND hWnd, const char* szData);
KVT_EXTERN_C int DoTransferSales();
KVT_EXTERN_C int DoTransferSalesImport();
KVT_EXTERN_C int DoKVTPOSImportSalesInformation(HWND hWnd, const char* szData);
// The signature pad of the managed-window loader for the sale in szData
// ("link,number,store,till").
KVT_EXTERN_C void Signature(HWND hWnd, const char* szData);
KVT_EXTERN_C void SetAutoPrintVar(HWND hWnd, const char* szStore, const char* szShiftDate,
                                  const char* szTillRef, const char* szShift, const char* szFormat);
KVT_EXTERN_C void SetAutoReceiptVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                                    const char* szPrintTaxDetail,
                                    const char* szPrintFarmTaxRemovedMsg);
KVT_EXTERN_C void SetAutoInvoiceVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                                    const char* szPrintTaxDetail,
                                    const char* szPrintFarmTaxRemovedMsg);
KVT_EXTERN_C void InsertMenuSystemOption(HWND hWnd, const char* szDLL, const char* szPCall,
                                         const char* szPName, const char* szReport);
KVT_EXTERN_C void RemoveMenuSystemOption(HWND hWnd, const char* szDLL, const char* szPCall,
                                         const char* szPName);
KVT_EXTERN_C int CreateMenuSystemOptions(HWND hWnd);
KVT_EXTERN_C const char* KVTWhatCanIDo(const char* szCategory);

KVT_EXTERN_C void DoShiftsSetup(HWND hWnd);
KVT_EXTERN_C void DoStoreSetup(HWND hWnd);
KVT_EXTERN_C void DoEmployeeSetup(HWND hWnd);
KVT_EXTERN_C void DoCategoriesSetup(HWND hWnd);
KVT_EXTERN_C void DoCreateCardCustomer(HWND hWnd);
KVT_EXTERN_C void ChangeCStoreCategory(HWND hWnd);
KVT_EXTERN_C void CopyCStoreCategory(HWND hWnd);
KVT_EXTERN_C void DoTaxCodesSetup(HWND hWnd);
KVT_EXTERN_C void DoTaxAuthSetup(HWND hWnd);
KVT_EXTERN_C void DoBatchSetup(HWND hWnd);
KVT_EXTERN_C void CreateCustomersInfo(HWND hWnd, const char* szCustomerRef);
KVT_EXTERN_C void DoProductIDSetup(HWND hWnd);
KVT_EXTERN_C void DoEditFieldlineCharges(HWND hWnd);
KVT_EXTERN_C void DoCreditCardSetup(HWND hWnd);

// The module's status marks and fixed-pitch font, made at load.
extern HFONT CourierFont;
extern HBITMAP hSCheck, hSCheckG, hRedX, hBlueX;

// "MSSQL", "PGSQL", "SQLITE": the kind of the host connection.
const char* KVTGetTransRef(int connectionNumber);
