#include "Images.h"

bool TImageList::Has(int) const { return false; }

QIcon TImageList::Icon(int) const { return QIcon(); }
