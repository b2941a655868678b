// Form files: the text in which a tree of components is stored (Karo's forms are compiled into
// the program as RCDATA resources of it), read into components and written back.
//
// The text is UTF-8. One object per component, its properties, then the components inside it:
//
//   object SkinStore: TSkinStore
//     Tag = 5
//     Store = <
//       item
//         Name = 'Yellow'
//         DataStream = {
//           534B4E00}
//       end>
//     object Child1: TSomething
//       Options = [xoPreview, xoToolbarBK]
//       Font.Name = 'Tahoma'          (a property of a persistent sub-object)
//       Lines.Strings = (             (a defined list property)
//         'first'
//         'x'#26149'y')               (#n is the character of UTF-16 code n)
//       Images = ImageList1           (a component of this file; Other.Name: of another root)
//       OnClick = Child1Click         (a published method of the root)
//     end
//   end
//
// Values: integers (decimal, or "$" hexadecimal; up to eight hex digits give the 32-bit
// pattern, so $FFFFFFFF is -1), identifiers (enumeration and Boolean names, names of integer
// constants, component references, handler names, nil), strings ('...' with '' for a quote,
// #n characters, pieces joined directly or by "+"), sets [a, b], lists ( ... ), binary data
// { hex } and collections < item ... end ... >.
#pragma once

#include <functional>
#include <string>

#include "classlib/core/persistent.h"
#include "classlib/core/streams.h"

// Reads a form file into root, which exists already: its class (or an ancestor) must be the
// file's, and it takes the file's name when it has none. Components inside are created through
// the class registry (or reused when root already owns one of that name and class), properties
// set through their setters, defined properties handed to DefineProperties, references
// resolved, and Loaded called on every component of the tree (root first) once all is read.
// A malformed file raises EParserError or EReadError (EClassNotFound for an unknown class)
// whose message begins "Line N: "; the components made so far are freed again. Exceptions
// raised by a setter pass through unchanged. An event names a published method of the root;
// the handler's name is remembered by components only, so events of collection items and
// other sub-objects are read but not written back.
void ReadComponentText(const std::string& text, TComponent* root);
void ReadComponentStream(TStream& stream, TComponent* root);
// Makes the root through the class registry (owned by owner) and reads the file into it.
TComponent* CreateComponentFromText(const std::string& text, TComponent* owner);
// The form file of root and everything written inside it.
std::string WriteComponentText(TComponent* root);

#ifdef _WIN32
struct HINSTANCE__;
// Reads the RCDATA resource resName of the module (whose bytes are a form file) into root.
void ReadComponentRes(HINSTANCE__* instance, const std::string& resName, TComponent* root);
#endif

// References of the form "Root.Name" to a root not (yet) loaded wait until it is: these
// finders name the roots that exist (the controls layer registers the screen's forms and
// data modules). Returns a token for UnregisterFindGlobalComponent.
using TFindGlobalComponent = std::function<TComponent*(const std::string& name)>;
int RegisterFindGlobalComponent(TFindGlobalComponent finder);
void UnregisterFindGlobalComponent(int token);
// Resolves the waiting references whose roots can now be found; the reader calls it after
// every root it has read.
void GlobalFixupReferences();
// Drops the waiting references of a component (its destructor calls this).
void RemoveFixupReferences(TComponent* instance);
