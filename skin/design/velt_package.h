// The start and end of the skin library inside a design package: its units start when the
// package's Register (or the host, through the exported Initialize) first needs them, and end
// when the host is about to unload the package (Finalize), every window given back and every
// hook removed first. Never from the loader's notifications. Windows only.
#pragma once

// Starts the library's units once; later calls do nothing.
void StartVeltPackage();
// Ends them: the skin manager (which gives back every skinned window and removes its hooks),
// then the work pictures. Does nothing unless started.
void FinishVeltPackage();
