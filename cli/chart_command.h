#pragma once

#include <string>
#include <vector>

class TClock;

/// The usage lines of `quenbrook-cli chart`, with what each option means.
extern const char* const kChartUsage;

/// `quenbrook-cli chart KIND BUDGET.vrl [options] (--tsv | --png OUT.png | --pdf OUT.pdf |
/// --svg OUT.svg) [--size WxH]`: one chart, computed as its window computes it, either as its
/// series (one line per category or date and one column per series) or drawn as a picture file
/// through the safe save. The budget is only read. `args` are the words after the program name.
/// Returns the exit status: 0 done, 1 an output that could not be written (with one line that
/// says why, and no file), 2 (with one line on standard error and nothing written) for a budget
/// that cannot be read, an unknown node or options that are wrong.
int RunChartCommand(const std::vector<std::string>& args, const TClock& clock);
