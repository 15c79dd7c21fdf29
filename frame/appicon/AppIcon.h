// The icon of the configuration program and the loader: a unit with its
// serial connector. Windows, the task bar and the About box show it.
#pragma once

#include <QIcon>

// The one icon, the same object at every call (its cache key identifies it).
const QIcon& ProgramIcon();

// Makes it the application's window icon, which every window without an
// icon of its own shows.
void SetUpProgramIcon();
