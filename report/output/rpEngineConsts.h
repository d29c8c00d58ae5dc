// rpEngineConsts.h - the messages of the engine and the prepared pages that are not
// library resource texts: the ones added for bad templates, bad data and damaged files.
//
// Each says what was wrong and where; tests look for the distinctive part.
#pragma once

namespace rpenginemsg {
// Prepared-report files.
inline constexpr const char* kNotPrepared = "Invalid file format: the root element is \"%s\", not \"preparedreport\"; the file holds no prepared report";
inline constexpr const char* kDamagedObject = "Prepared page %d: an object could not be rebuilt: %s";
inline constexpr const char* kDamagedPart = "Prepared page %d: %s";
inline constexpr const char* kNoSourcePage = "Prepared page %d: the template page it was built from is not in the file; the page shows empty";

// Engine: templates and data that could never give pages.
inline constexpr const char* kPageTooSmall = "Page %s: the printable area is %s by %s units; a page needs room for at least one line";
inline constexpr const char* kBandNeverFits = "Band %s is %s units high and cannot fit on page %s, which leaves %s units below its headers and above its footers";
inline constexpr const char* kGroupCondition = "Group %s: the condition cannot be evaluated: %s";
inline constexpr const char* kNestingTooDeep = "Band %s: subreports and detail bands nested deeper than %d levels";
inline constexpr const char* kNoPreviewPages = "The report has no prepared-pages store to build into";
inline constexpr const char* kRowLimit = "Band %s: more than %d rows; the dataset seems never to reach its end";
}  // namespace rpenginemsg
