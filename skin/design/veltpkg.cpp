// Veltpkg: the skin library as a design package. Besides Register (unit VeltReg) and the
// library's own classes and routines it exports the two routines by which a host starts and ends
// the package. While the loader holds its lock the package only enters its classes in the class
// registry; the library's units wait for Register or Initialize.
#include <windows.h>

#include "skin/design/velt_package.h"

extern "C" __declspec(dllexport) void Initialize() { StartVeltPackage(); }
extern "C" __declspec(dllexport) void Finalize() { FinishVeltPackage(); }
