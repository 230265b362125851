#pragma once

#include "ReportDocument.h"

// Sections a report's file left out (its detail, a group's header or footer). The engine prints
// nothing there, so the model holds them without a height; while they stay as read (no height,
// no elements, no print condition) they are written out of the file again and shown as absent.
namespace AbsentSections {

bool isDetailLeftOut(const ReportDocument &document);
bool isGroupHeaderLeftOut(const ReportGroup &group);
bool isGroupFooterLeftOut(const ReportGroup &group);
// Whether the band the target names is such a section.
bool isLeftOut(const ReportDocument &document, const BandTarget &target);
// The text shown after the name of such a band.
inline constexpr QStringView absentMark = u" (absent)";

} // namespace AbsentSections
