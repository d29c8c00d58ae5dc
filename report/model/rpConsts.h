// rpConsts.h - the messages of the report object model that are not library resource
// texts: the platform-style errors and the ones added for bad input. The texts the user
// sees in Russian come from rpResources (rpRes.h) by key.
//
// Each message says what was wrong and where; tests look for the distinctive part.
#pragma once

namespace rpmsg {
// XML reader and documents.
inline constexpr const char* kXMLFormatAt = "Invalid file format: %s (at byte %d)";
inline constexpr const char* kXMLUnclosedTag = "Invalid file format: '>' expected to close the tag that starts at byte %d, found the end of the data";
inline constexpr const char* kXMLUnclosedComment = "Invalid file format: '-->' expected to close the comment that starts at byte %d, found the end of the data";
inline constexpr const char* kXMLCutShort = "Invalid file format: the data ends before the closing tag </%s>; the file is cut short";
inline constexpr const char* kXMLTooDeep = "elements nested deeper than %d levels";
inline constexpr const char* kXMLItemCycle = "An XML element cannot become a child of itself or of its own child";
inline constexpr const char* kListIndex = "List index out of bounds (%d)";

// Serializer.
inline constexpr const char* kTooDeep = "report objects nested deeper than %d levels";
inline constexpr const char* kNotAComponent = "%s is not a report object class";
inline constexpr const char* kRootMismatch = "the data holds a %s, not a %s";
inline constexpr const char* kMissing = "Missing %s";
inline constexpr const char* kPropDataDamaged = "%s: damaged data was left out (%s)";
inline constexpr const char* kNotACompressor = "the default compressor class %s is not a compressor";

// Form-resource collections.
inline constexpr const char* kCollectionExpected = "a collection (value type 14 or 1) expected, found value type %d";
inline constexpr const char* kCollectionNotRead = "collection items that do not fit: %s";
inline constexpr const char* kItemTooLong = "collection item of %s bytes is longer than the %s bytes left";

// Style and variables files whose root element is another one.
inline constexpr const char* kWrongRoot = "Invalid file format: the root element is \"%s\", not \"%s\"; the file holds no %s";

// Styles.
inline constexpr const char* kDuplicateStyle = "Duplicate name: a second style named \"%s\" (letters' case aside) was left out";
inline constexpr const char* kStyleTwin = "Duplicate name: another style of the collection is named so (letters' case aside)";
inline constexpr const char* kStyleDamaged = "Invalid file format: style %d (\"%s\") of the collection \"%s\": %s";

// Component tree.
inline constexpr const char* kParentCycle = "%s cannot be placed inside itself or one of its own objects";
inline constexpr const char* kVariableCycle = "variable %s refers back to itself";

// Datasets.
inline constexpr const char* kNoWayBack = "dataset %s cannot go back a record: its cursor follows OnNext and it has no OnPrior";
}  // namespace rpmsg
