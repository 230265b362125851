#pragma once

#include "ReportDocument.h"

// How the page's width and height are shared out, judged as the engine judges a report: on the
// whole numbers the file carries. The engine refuses a report whose columns and side margins are
// wider than the page, and one where a band does not fit the page's height with the margins and
// the bands that print on the same page with it.
namespace PageLayout {

// The largest length a report file can carry: the engine reads lengths as 32-bit integers.
inline constexpr double largestLength = 2147483647;

// The largest page the PDF engine renders in full, in points (200 inches), for each dimension.
inline constexpr double largestPdfPage = 14400;

// The whole number the file carries for a length.
double asWritten(double points);

// The widest column that fits the page with the margins and the spacing as the file carries
// them: (page width − both side margins − the spacing between the columns) ÷ the column count,
// rounded down, never below 0 nor above the largest length. A count below 1, which a file can
// carry, counts as 1.
double fittedColumnWidth(const ReportDocument &document);
// Whether the columns, their spacing and the side margins fit the page width as written.
bool columnsFit(const ReportDocument &document);
// The column width the file carries: the width rounded, or, where rounding would make columns
// that fit the page no longer fit it, the fitted width.
double writtenColumnWidth(const ReportDocument &document);

// The least page height that holds the bands with the top and bottom margins, by the engine's
// rules of which bands print on one page; the bands as written.
double neededPageHeight(const ReportDocument &document);
// The highest the band can be on this page: the page height less the margins and the bands it
// prints with, as written. Below 0 when those alone do not fit.
double largestBandHeight(const ReportDocument &document, const BandTarget &target);

// An element standing in a band that may be at most `tallest` high, in whole points below that:
// the lowest its top may lie when it is `length` high, or the most its height may be when its
// top lies at `length`. Its bottom then stays within the band, also as the file writes it.
double wholePointsBelow(double tallest, double length);

} // namespace PageLayout
