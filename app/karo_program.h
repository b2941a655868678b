// Karo's program block: the application object, the main form, the data module, the message loop.
// Windows only.
#pragma once

// Runs Karo until its main form closes; the exit code.
int KaroProgram();
