// Item entry operations that the keys reach but that are built in item
// entry's own files. Until those land the keys are taken and do nothing;
// this file goes when they do.
#include "sale/pos1.h"

void PVpos1Dlg::VoidItem() {}
void PVpos1Dlg::TogglePrice() {}
void PVpos1Dlg::ReturnPreviousItem() {}
void PVpos1Dlg::ViewPriceCheck() {}
void PVpos1Dlg::ViewCustomerBalance() {}
