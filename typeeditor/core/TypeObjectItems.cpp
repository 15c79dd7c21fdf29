#include "TypeObjectItems.h"

#include <algorithm>

#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

_TypeObjectItems::_TypeObjectItems(const TTypeObjectData& type)
    : languages(static_cast<size_t>(std::max(0, type.GetTypeData().GetLanguageCount())), 1),
      tables(static_cast<size_t>(std::max(0, type.GetTableCount())), 1) {}
