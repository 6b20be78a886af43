// The message loop of the wizard's thread: the keyboard navigation of the forms (Tab, Enter
// for the default button, arrows in radio groups) goes through IsDialogMessage (Windows only).
#pragma once

#include <windows.h>

// Handles one message, giving it first to the dialog navigation of the form it belongs to.
void DispatchVYNMessage(MSG& message);

// Handles every pending message and returns. False when WM_QUIT came, which is posted again so
// that the outer loop ends too.
bool ProcessPendingMessages();

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();
