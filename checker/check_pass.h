// The check pass: colours every character of the upper box by the rules at the chosen level,
// shows each in the progress box, fills the result lists, then writes the report and summary.
#pragma once

#include "checker/allowing_classifier.h"
#include "checker/check_view.h"
#include "checker/classify.h"
#include "checker/result_list.h"

namespace torvane::checker {

enum class CheckEnd {
  Completed,  // report written and summary shown
  Stopped,    // the view asked to stop: no report, no summary
};

// Throws CheckFailure when the report box refuses a line; the summary is then not shown.
// check_pass_template.h has the same pass for a view type known at compile time.
CheckEnd runCheck(CheckView& view, const Classifier& classifier, ResultLists& lists);
// The same with the class's allowed words.
CheckEnd runCheck(CheckView& view, const AllowingClassifier<Classifier>& classifier,
                  ResultLists& lists);

}  // namespace torvane::checker
