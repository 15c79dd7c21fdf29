#include "AppLink.h"

// The device link joins the frame here.
std::unique_ptr<TBaseComModule, TComModuleDeleter> CreateComModule(TMLSUnit&) { return nullptr; }

void TComModuleDeleter::operator()(TBaseComModule*) const {}
