// Creation of the device link that the application record owns.
#pragma once

#include <memory>

#include "Appinterface.h"

// The device link on the record's texts, its threads running; null when the
// program is built without one.
std::unique_ptr<TBaseComModule, TComModuleDeleter> CreateComModule(TMLSUnit& texts);
