// Registers the creators of the manager and tool windows with the frame.
#pragma once

void RegisterManagers();
