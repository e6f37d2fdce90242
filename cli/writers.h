// The writers of a check's result, one per output format. Each writes every part the result
// holds, in its own form; a new part of the request is a new section of each writer.
#pragma once

#include "cli/options.h"
#include "cli/output.h"
#include "documents/document.h"
#include "request/run.h"

namespace torvane::cli {

// The report lines as the lower box holds them, then the summary, then one line per table
// change: CHAR, the 1989 stage, the 2020 stage, the count. UTF-8 with LF line ends.
void writePlain(OutputStream& out, const request::CheckResult& result);

// One JSON object: the check with every span ("input" after "tables" for a document or a
// detected encoding), then "table_changes" and "suggestions" when the result holds them.
void writeJson(OutputStream& out, const request::CheckResult& result,
               const documents::OpenedDocument* input = nullptr);

// The checked text with every proposed word rewritten in `mode` (not None); the result must hold
// the proposals.
void writeRewritten(OutputStream& out, const request::CheckResult& result, RewriteMode mode);

// A .docx or an .odt with every proposed word given ruby: the input document itself when it is
// of that kind (only those words changed), a new one otherwise. The words the round trip left
// as they were are counted in `wordsLeftAlone`.
std::string writeDocument(const request::CheckResult& result, RewriteMode mode,
                          const documents::OpenedDocument* input, std::size_t& wordsLeftAlone);

}  // namespace torvane::cli
