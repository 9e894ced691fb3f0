// The financing and card module of the suite (KVTJD.DLL): which locations
// accept Farm Plan financing and its bank cards, and the card and financing
// transactions the till hands it, run as a test terminal would: every
// transaction is approved for the balance the till sends, with the card or
// account the settings file ".\KVTJD.ini" names.
//
//   [Farm Plan]
//   Locations=01,03        the inventory locations that accept it; * for all
//   Customer=1001          the customer and account of the financing
//   Name=Miller, Alan
//   Account=FP-20417
//   DBC=12  DBCDesc=...  CPN=3  CPNDesc=...  Terms=...  TandC=...  PO=...
//   PaymentAmount=50.00    what a payment on account pays (the till sends
//                          no balance for one)
//   [Bank Cards]
//   Locations=*
//   CardType=VISA  CardNumber=4000123412341111  ExpDate=1227
//   Customer=  Name=       the card's customer, when the terminal knows one
//
// Events: "KVTInitializeEvent" and "KVTDestroyEvent" succeed;
// "DoCheckLocationAcceptsFarmPlan" and "DoCheckLocationAcceptsBankCard" read
// the location from "01=" of Param1 and answer 1 (accepted) or 0 in iParam1.
// "DoBankCardSale", "DoBankCardReturn", "DoFarmPlanSale", "DoFarmPlanReturn"
// and "DoFarmPlanPayment" take the request of Param1 ("00=" sale number,
// "03=" total, "04=" paid so far) and answer in Param2, tab-separated: the
// amount ("00=", the balance, negative for a return), the customer, the card
// number with all but its last four characters hidden or the financing
// account, an authorization made from the sale number, and the status
// "S1=Approved". A location that does not accept the event's kind, or a
// transaction with nothing to pay, fails with a message saying so. Any other
// event fails with a message naming it.
#pragma once

#include "platform/base/export.h"
#include "platform/win/moduleevent.h"

KVT_EXTERN_C int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object);
