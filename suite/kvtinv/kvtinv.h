// The inventory module of the suite ("KVTINV.DLL", libkvtinv.so): the calls
// the point of sale makes, answered from the inventory tables on connection 1
// (one per process, shared with the calling module).
//
// Message calls (SendDLLMessage). The caller hands a request buffer and a
// reply buffer of `size` bytes (400 for every command here). The first 50
// bytes of both are left blank; the request text starts at offset 50, NUL
// terminated, its fields separated by commas; the answer is written from
// offset 50 of the reply, cut to the buffer. The result is 1 when the command
// was answered. A command that fails returns 0 with 0xFF in the reply's first
// byte (the caller's failure mark); an unknown command, a null buffer or a
// size below 51 returns 0 and writes nothing.
//
// "GETPRICING": the price, discount and cost of an item at a location.
//   Request: item reference, location, quantity ordered, pricing type, redo
//   prices ("T"/"F"), use level ("T"/"F"), use net ("T"/"F"), cost, price,
//   discount.
//   Answer: "price,discount,cost".
//   1. The item must have a row at the location in KVTINV2; otherwise (or with
//      an empty reference) the call fails.
//   2. Price: the list price (KVTINV2.LISTPRICE). When the item has a quantity
//      matrix at the location (KVTINV18), the quantity ordered picks a level:
//      of the levels Q1..Q10 with both a quantity and a price P1..P10, the one
//      with the highest quantity that the quantity ordered reaches gives the
//      price, whatever the order of the levels. Below every level the list
//      price stands. Callers pass the quantity summed over the sale.
//   3. Discount: with a pricing type, the KVTINV19 row of that type, location
//      and item, else the row of that type and location with an empty
//      REFERENCE (every item); empty without one or without a pricing type.
//      It is a percentage of the price ("5%") or an amount off each unit
//      ("0.50"), as GetPriceDiscount reads it.
//   4. Cost: KVTINV2.COST.
//   5. Redo prices "F": a price, discount or cost that the request carries
//      stands in place of the one found. "T" prices afresh.
//   Use level and use net are accepted and not consulted: matrix levels
//   always apply, and there are no net prices. Texts are answered as the
//   tables hold them (trimmed); nothing is marked with "*".
#pragma once

#include "platform/base/export.h"

KVT_EXTERN_C int SendDLLMessage(const char* command, char* request, char* reply, int size);

// The discount of one unit at `price`: `discount` "5%" is 5 percent of the
// price, any other number an amount ("0.50"); a trailing "*" is ignored, and
// empty or unreadable text is no discount (0).
KVT_EXTERN_C double GetPriceDiscount(double price, const char* discount);
