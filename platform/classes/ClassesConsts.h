// ClassesConsts.h - the messages of platform/classes, in one table.
//
// The platform's own texts are kept where the program's users and scripts may know them
// ("List index out of bounds (%d)"); the ones added for bad input say what was wrong and
// where. Tests look for the distinctive part of each text, not the whole sentence.
#pragma once

namespace msg {
// Classes and properties.
inline constexpr const char* kClassNotFound = "Class %s not found";
inline constexpr const char* kDuplicateClass = "Another class is already registered under the name %s";
inline constexpr const char* kCannotCreate = "Class %s cannot be created by name here (abstract or of another kind)";
inline constexpr const char* kPropertyNotFound = "Property %s does not exist in class %s";
inline constexpr const char* kPropertyOfNil = "Property %s of a nil object";
inline constexpr const char* kPropertyOfNilObject = "Property access on a nil object";
inline constexpr const char* kInvalidPropertyType = "Invalid property type: %s is of type %s";
inline constexpr const char* kPropertyReadOnly = "Property %s is read-only";
inline constexpr const char* kInvalidPropertyElement = "Invalid property element: %s";
inline constexpr const char* kEnumOutOfRange = "Property %s: value %s is outside the enumeration";
inline constexpr const char* kObjectClassMismatch = "Property %s expects a %s, got a %s";
inline constexpr const char* kEventSignature = "Handler %s does not fit the event's parameters";
inline constexpr const char* kEventFromValue = "Event %s can only be cleared from a value";

// Handles.
inline constexpr const char* kStaleHandle = "Object handle %s is not valid: the object was destroyed or never existed";
inline constexpr const char* kWrongClassHandle = "Object handle %s refers to a %s where a %s is expected";
inline constexpr const char* kNotAHandle = "A %s value was given where an object is expected";
inline constexpr const char* kOutOfHandles = "Too many objects were handed to scripts; no object handle is left";

// Components.
inline constexpr const char* kInvalidName = "''%s'' is not a valid component name";
inline constexpr const char* kDuplicateName = "A component named %s already exists";
inline constexpr const char* kCannotAssign = "Cannot assign a %s to a %s";
inline constexpr const char* kOwnerCycle = "Component %s cannot own itself or one of its owners";

// Lists.
inline constexpr const char* kListIndexError = "List index out of bounds (%d)";
inline constexpr const char* kSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* kDuplicateString = "String list does not allow duplicates";
inline constexpr const char* kListCountError = "List count out of bounds (%d)";

// Streams.
inline constexpr const char* kReadError = "Stream read error";
inline constexpr const char* kWriteError = "Stream write error";
inline constexpr const char* kSeekError = "Invalid stream seek origin %d";
inline constexpr const char* kFCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* kFOpenError = "Cannot open file \"%s\". %s";
// A file is saved under a new name beside it first; where the folder refuses new files,
// writing over the only copy would lose it to a crash or a full disk half-way.
inline constexpr const char* kFolderRefusesSave =
    "Cannot save \"%s\": the folder does not allow new files (%s), and writing over the file in place "
    "would lose it if the save failed half-way. Save it in another folder.";
// In a folder with the sticky bit (as /tmp) only its owner may replace a file, and writing
// over it in place would lose it to a failure half-way just the same.
inline constexpr const char* kStickyRefusesSave =
    "Cannot save \"%s\": the file belongs to another user, and in this folder only its owner may "
    "replace it; writing over it in place would lose it if the save failed half-way. Save it under "
    "another name.";
// A link in a folder anyone may add files to (as /tmp) may have been planted there by another
// user to turn a save into the overwriting of a file of the user's own elsewhere; the system
// refuses to follow such links for the same reason.
inline constexpr const char* kLinkRefusesSave =
    "Cannot save \"%s\": it is a link another user made in a folder where anyone may add files, "
    "and a save does not follow such a link. Save it under another name.";
inline constexpr const char* kTempFileError = "Cannot create a temporary file in \"%s\". %s";
inline constexpr const char* kSizeError = "Stream size %s is not possible";

// Component streams and object text.
inline constexpr const char* kInvalidSignature = "Invalid stream format: component stream signature expected";
inline constexpr const char* kStreamAt = "Error reading component stream at byte %s: %s";
inline constexpr const char* kValueExpected = "%s expected, found %s";
inline constexpr const char* kBadValueType = "unknown value type %d";
inline constexpr const char* kBadVariantType = "a Variant of type %s cannot be stored in a component stream";
inline constexpr const char* kLengthTooLong = "a length of %s bytes runs past the end of the data (%s left)";
inline constexpr const char* kTooDeep = "nesting deeper than %d levels";
inline constexpr const char* kUnknownProperty = "Error reading %s.%s: Property %s does not exist";
inline constexpr const char* kPropertyValue = "Error reading %s.%s: %s";
inline constexpr const char* kMethodNotFound = "method %s not found in class %s";
inline constexpr const char* kReferenceNotFound = "%s.%s refers to %s, which does not exist";
inline constexpr const char* kRootClassMismatch = "the stream holds a %s, not a %s";
inline constexpr const char* kNotPersistent = "%s is not an object property";
inline constexpr const char* kTextAt = "%s, line %d: %s";
inline constexpr const char* kTextAtNoFile = "line %d: %s";
inline constexpr const char* kLayoutOpen = "Cannot read layout file \"%s\"";

// Ini files and registry.
inline constexpr const char* kIniWrite = "Unable to write to %s";
inline constexpr const char* kRegDataType = "Invalid data type for '%s'";
}  // namespace msg
