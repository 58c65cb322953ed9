#pragma once
// What "tarnby --check" writes: one record per link in the chosen format, and the summary.
//   lines: "URL|text|RESULT" (a "|" in the address written %7C, in the text &#124;)
//   csv:   a header row "url,text,result,verdict", then RFC 4180 rows
//   json:  an array of {"url","text","result","verdict"} objects, control characters escaped
// Every record ends with LF.
#include "tarnby/check/LinkChecker.h"

#include <string>
#include <vector>

namespace tarnby::check {

std::string FormatResults(const std::vector<CheckedLink>& links, ReportFormat format);

// "123 links (45 addresses on 3 pages): 40 fine, 2 redirected, 1 broken, 2 skipped, 0 excluded"
std::string SummaryLine(const CheckSummary& summary);

const char* VerdictName(Verdict verdict);

} // namespace tarnby::check
