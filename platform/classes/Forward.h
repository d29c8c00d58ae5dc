// Forward.h - forward declarations for platform/classes, so headers can name each other's
// classes without including them.
#pragma once

class TObject;
class TMetaClass;
using TClass = const TMetaClass*;
struct TTypeInfo;
struct TPropInfo;
class TPropertyTable;
class TMethod;
template <class Sig> class TEvent;

class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TList;
class TStrings;
class TStringList;
class TStream;
class TMemoryStream;
class TFileStream;
class TStringStream;
class TFiler;
class TReader;
class TWriter;
class TCustomIniFile;
class TIniFile;
class TRegistry;
class TRegistryIniFile;

class Variant;
